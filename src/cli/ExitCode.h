#pragma once

namespace tavelin::cli {

// 0 done; 1 a run had failures; 2 bad usage or input (nothing was done).
enum ExitCode : int { kDone = 0, kFailures = 1, kUsage = 2 };

} // namespace tavelin::cli
