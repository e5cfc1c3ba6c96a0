#pragma once

namespace tavelin::gui {

// What the task dialog asks besides the name.
struct TaskOptions {
    bool catchUp = true;
    bool onChange = false;
    bool keepVersions = false;
};

} // namespace tavelin::gui
