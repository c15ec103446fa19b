// The program's pictures, embedded in the executable as PNG files (resources
// named PICTURE_<id> and, drawn at twice the size, PICTURE_<id>_2X) and
// decoded with the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <memory>

struct IWICImagingFactory;

namespace treva {

// A COM interface pointer released when it goes out of scope.
template <typename T> struct Released {
    T *p = nullptr;
    Released() = default;
    Released(const Released &) = delete;
    Released &operator=(const Released &) = delete;
    ~Released() {
        if (p) p->Release();
    }
    T **out() { return &p; }
    T *operator->() const { return p; }
};

class Pictures {
public:
    // COM must be initialised on this thread.
    Pictures();
    ~Pictures();
    Pictures(const Pictures &) = delete;
    Pictures &operator=(const Pictures &) = delete;

    // Picture `id` for a screen of `dpi` dots per inch (96 is 100 %): its
    // size in pixels scaled from its own, from the sharp drawing where that
    // helps, laid onto `background` (the pictures have transparent parts; the
    // controls showing them do not). A 24-bit bitmap the caller owns, or
    // nullptr when there is no such picture.
    HBITMAP load(int id, UINT dpi, COLORREF background) const;

    // The factory, for whoever writes pictures (screenshots); may be null.
    IWICImagingFactory *factory() const { return factory_; }

private:
    IWICImagingFactory *factory_ = nullptr;
};

} // namespace treva
