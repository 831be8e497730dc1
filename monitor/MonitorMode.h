// The two modes of the program, each with its window: standard (BilliardStd), alternative (BilliardAlt).
#pragma once

enum class MonitorMode { Standard, Alternative };
