#pragma once

// Layout used when a bank has no line of its own: the seven gaps in millimetres, two digits each.
inline constexpr char kDefaultLayout[] = "08080607071005";
