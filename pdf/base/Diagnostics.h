#pragma once
// One line on the process's standard error for internal inconsistencies and
// parse problems; the operation then continues or fails as its caller decides.
namespace folian {

[[gnu::format(printf, 1, 2)]] void Diag(const char* format, ...);

}  // namespace folian
