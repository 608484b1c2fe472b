// The user's regional number settings, read once for the whole process. Tests
// replace them, for instance to type with a comma as decimal separator.
#pragma once

struct RegionalSettings {
  char16_t decimalSeparator = u'.';
  char16_t thousandsSeparator = u',';
};

// The settings in force: the system locale's, unless replaced.
const RegionalSettings& Regional();
void SetRegional(const RegionalSettings& settings);
