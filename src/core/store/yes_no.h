#pragma once

// Yes/no columns (scale goods, stored-value member, the settings' switches) hold the texts "是"
// and "否". These are the only place that spells them for the database: readers turn the text
// into a bool with YesNo, writers a bool into the text with ToYesNo.

#include <string_view>

namespace store {

inline constexpr const char* kYes = "是";
inline constexpr const char* kNo = "否";

// True only for "是": "否", an empty text, NULL read as "" and anything else are no.
inline bool YesNo(std::string_view stored) { return stored == kYes; }

inline const char* ToYesNo(bool yes) { return yes ? kYes : kNo; }

}  // namespace store
