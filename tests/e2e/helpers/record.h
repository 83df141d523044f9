// Length-prefixed records that the test helpers append to their logs, so
// that any bytes (blanks, line ends, zeros) reach the test driver intact:
// each field is "<decimal length>:<bytes>," and a record ends with "\n".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

inline void append_record(const std::string& log_path, const std::vector<std::string>& fields) {
  std::string record;
  for (const std::string& field : fields) record += std::to_string(field.size()) + ":" + field + ",";
  record += "\n";
  // Write to a side file and append it in one call, so the driver never
  // sees half a record.
  if (FILE* log = std::fopen(log_path.c_str(), "ab")) {
    std::fwrite(record.data(), 1, record.size(), log);
    std::fclose(log);
  }
}
