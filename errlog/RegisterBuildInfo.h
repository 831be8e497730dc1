// Records the program's build date and version with the shared error register.
#pragma once

void RegisterBuildInfo();
