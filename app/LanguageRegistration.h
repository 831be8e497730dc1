// Start-up language steps: the built-in languages registered in Quedrix.cfg and the language in force.
#pragma once

#include <cstdint>
#include <string>

// Start-up steps 7 to 9: the localisation's start-up language becomes CurrentLanguageCode, the
// built-in languages are registered, and the localisation is told the language in force.
void ApplyStartUpLanguage();

// BG, EN and RU into slots 1 to 3 of [Languages]; a non-empty [Language] Value replaces
// CurrentLanguageCode, which is then written back there.
void RegisterDefaultLanguages();

// Writes the code, its display name, its charset and Counter = slot, unless the slot's "lng" value
// already starts with the code (case counts).
void RegisterLanguage(const std::string& code, int16_t slot);
