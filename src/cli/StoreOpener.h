#pragma once

#include "core/tasks/TaskStore.h"

namespace tavelin::cli {

struct Context;

// Opens tasks.db where --db, TAVELIN_DB or the usual places say.
class StoreOpener {
  public:
    static Result<TaskStore> open(const std::string* explicitPath, const Context& context);
};

} // namespace tavelin::cli
