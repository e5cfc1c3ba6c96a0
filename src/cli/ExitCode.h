#pragma once

namespace tavelin::cli {

// 0 done; 1 a run had failures; 2 bad usage or input (nothing was done); 3 stopped before the
// end by Ctrl-C, SIGTERM or SIGHUP.
enum ExitCode : int { kDone = 0, kFailures = 1, kUsage = 2, kStopped = 3 };

} // namespace tavelin::cli
