#pragma once

#include "state/SlideList.h"

// Where the download parts hand the slides they make; the download cycle
// keeps them. A part reads the slides as they stand: the slide it fetches
// (with the kind its source code chose), the pictures the others hold (they
// share the memory budget) and the number of the next loop copy.
class SlideSink {
public:
    virtual ~SlideSink() = default;
    virtual const SlideList& slides() const = 0;
    // The slide is made: it is kept at slide.position.
    virtual void putSlide(const Slide& slide) = 0;
    // A loop copy was written under nextLoopNumber(): the next takes the
    // number after it.
    virtual void loopFileWritten() = 0;
};
