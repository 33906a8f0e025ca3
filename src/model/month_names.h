#pragma once

#include <array>
#include <string_view>

// Month names as files write them and charts label them; index 0 is empty.
inline constexpr std::array<std::string_view, 13> MonthNames = {
    "", "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
