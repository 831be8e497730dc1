// The fixed texts the monitor windows start with (UTF-8); they stay Bulgarian whatever language is in force.
#pragma once

#include <string>

namespace MonitorCaptions {

inline constexpr char Window[] = "Zentrovik Quedrix";
inline constexpr char Time[] = "00:00:00";
inline constexpr char Sum[] = "0.00";
inline constexpr char Info[] = "Не е открит контролер";
inline constexpr char InfoButton[] = "Проверка";
inline constexpr char HideButton[] = "Скриване";
inline constexpr char ResetButton[] = "Спиране";
inline constexpr char StartButton[] = "Старт";
inline constexpr char Setup[] = "Отвори";
inline constexpr char Exit[] = "Изход";

// The name of table t (1..8).
inline std::string Table(int table) {
    return "Маса " + std::to_string(table);
}

} // namespace MonitorCaptions
