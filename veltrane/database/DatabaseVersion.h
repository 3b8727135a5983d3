#pragma once

// The version written into project databases and print-item files.
inline constexpr unsigned long kDatabaseVersion = 102;

// True for the versions a project database or print-item file may carry:
// 1, 2, 100, 101 and 102.
bool IsValidVersion(unsigned long version);
