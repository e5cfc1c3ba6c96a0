#pragma once

#include "copy/CopyEngine.h"
#include "copy/FileOps.h"
#include "core/FakeVolumes.h"

namespace tavelin::test {

// One run of the engine through `ops`, with only the root folder mounted.
inline Result<RunResult> copyOnce(const Selection& selection, FileOps& ops) {
    const FakeVolumes volumes;
    const CopyEngine engine(volumes, ops);
    return engine.RunCopy(selection);
}

} // namespace tavelin::test
