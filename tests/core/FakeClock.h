#pragma once

#include "core/util/Clock.h"

#include <ostream>

namespace tavelin {

inline void PrintTo(const LocalDateTime& t, std::ostream* os) {
    *os << t.display();
}

} // namespace tavelin

namespace tavelin::test {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(LocalDateTime t) : now_(t) {}
    LocalDateTime now() const override { return now_; }
    void set(LocalDateTime t) { now_ = t; }
    void advance(int seconds) { now_ = now_.addSeconds(seconds); }

  private:
    LocalDateTime now_;
};

inline LocalDateTime at(const char* display) {
    return *LocalDateTime::parseDisplay(display);
}

} // namespace tavelin::test
