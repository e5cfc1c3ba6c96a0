#pragma once

#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "tests/core/FakeVolumes.h"

namespace tavelin::test {

// One run of the engine through `ops`, with only the root folder mounted.
inline Result<RunResult> copyOnce(const Selection& selection, FileOps& ops) {
    const FakeVolumes volumes;
    const CopyEngine engine(volumes, ops);
    return engine.runCopy(selection);
}

} // namespace tavelin::test
