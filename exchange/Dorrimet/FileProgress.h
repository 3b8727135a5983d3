#pragma once

#include <cstdint>

class IPointRegister;
class JIProgMsgBase;

// Progress of a pass over a file, by byte position, shared by the file readers and converters.

// The start of a file read into a register: the wait dialog with a bar, of the coordinate-file
// reading kind, counting to 100. A null progress does nothing.
void BeginFileRead(JIProgMsgBase *progress);

// The end of a successful read: the reading dialog closes and a message-only dialog of the
// registration kind stays up while the register stores the points. The register's answer.
bool EndFileRead(JIProgMsgBase *progress, IPointRegister *reg);

// Bytes read as a percentage of the file, truncated, at most 100; 100 for an empty file.
// Computed in 64 bits, so files over 2 GB come out right.
int FilePercent(std::uint64_t position, std::uint64_t size);

// A byte count as a progress count, saturated at INT_MAX.
int ProgressCount(std::uint64_t value);

// Progress of a read: the percentage, reported with ProgressPercent(p, p) when it grew past
// lastPercent. True when the user cancelled.
bool FileReadProgress(JIProgMsgBase *progress, std::uint64_t position, std::uint64_t size,
                      int &lastPercent);

// One line of a pass: when the percentage grew past lastPercent it is reported with
// ProgressPercent and the step counter restarts; otherwise the counter goes up and, once it
// exceeds the progress object's cancel check step, CheckCancel is asked. lastPercent becomes the
// current percentage. True when the user cancelled.
bool FileProgressStep(JIProgMsgBase *progress, std::uint64_t position, std::uint64_t size,
                      int &lastPercent, int &stepCount);
