#pragma once

#include <memory>

struct GLUquadric;

// Owns one GLU quadric. Making one needs no GL context, so objects that draw spheres or
// cylinders can create theirs when they are built, in tests too.
class Quadric {
public:
    Quadric();

    // Null only when GLU could not allocate the quadric; callers then draw nothing.
    GLUquadric* get() const { return handle.get(); }

private:
    struct Deleter {
        void operator()(GLUquadric* quadric) const;
    };
    std::unique_ptr<GLUquadric, Deleter> handle;
};
