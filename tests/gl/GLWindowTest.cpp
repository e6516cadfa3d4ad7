// The windowed present: the back buffer scaled into the window with its
// aspect ratio kept and black bars, drawing going on after the window loses
// the focus, and a back buffer of the window's size drawn straight into the
// window. Needs an X display (ctest runs it under xvfb-run); skipped without
// one.

// First: Xlib's macros (None, Status...) would break the test headers.
#include "tests/gl/GLTestDevice.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include <string>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// SDL's video on X11, started once for the whole run: a bare Xvfb resets
// itself when its last client leaves and refuses connections meanwhile, and
// SDL would then quietly fall back to a video driver without X windows.
bool VideoOnX11()
{
    static const bool started = SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11") == SDL_TRUE &&
                                SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return started;
}

// A window of width x height with an OpenGL device of a back buffer of
// backWidth x backHeight (Windowed: a bare Xvfb has no window manager to
// make it fullscreen); skips the test when there is no X display or no
// OpenGL 3.3 core context on it.
struct WindowDevice {
#if defined(__SANITIZE_ADDRESS__)
    // The X, D-Bus and GLX libraries keep allocations to the end of the process;
    // they are not ours to report (the device itself is leak-checked headless).
    __lsan::ScopedDisabler ignoreSystemLeaks;
#endif
    SDL_Window* window = nullptr;
    OrvelGL::GLProvider provider{OrvelGL::GLContextMode::Window};
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::string skipped;

    WindowDevice(int width, int height, UINT backWidth, UINT backHeight)
    {
        if (SDL_getenv("DISPLAY") == nullptr || !VideoOnX11()) {
            skipped = "no X display: windowed present not tested (run under xvfb-run)";
            return;
        }
        window = SDL_CreateWindow("Tavrin", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
        if (window == nullptr || !provider.LoadLibrary() || (d3d = provider.Direct3DCreate9(D3D_SDK_VERSION)) == nullptr) {
            skipped = std::string("no window: ") + SDL_GetError();
            return;
        }
        D3DPRESENT_PARAMETERS parameters = BackBuffer(backWidth, backHeight);
        parameters.Windowed = TRUE;
        if (d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x40, &parameters, &device) != D3D_OK)
            skipped = "no OpenGL 3.3 core context on this display";
    }
    ~WindowDevice()
    {
        if (device != nullptr) {
            EXPECT_EQ(device->Release(), 0u);
        }
        if (d3d != nullptr)
            d3d->Release();
        if (window != nullptr)
            SDL_DestroyWindow(window);
    }
    // Pending events handled, then a frame cleared to colour.
    void Clear(D3DCOLOR colour)
    {
        for (SDL_Event event; SDL_PollEvent(&event);) {
        }
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0), D3D_OK);
    }
    // What the X server shows in the window, 0xRRGGBB, by (x, y) from the top left.
    std::vector<uint32_t> Shown(int& width, int& height)
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        std::vector<uint32_t> pixels;
        if (!SDL_GetWindowWMInfo(window, &info))
            return pixels;
        SDL_GetWindowSize(window, &width, &height);
        XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, unsigned(width),
                                  unsigned(height), AllPlanes, ZPixmap);
        if (image == nullptr)
            return pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return pixels;
    }
};

} // namespace

TEST(GLWindowTest, PresentLetterboxesIntoTheWindowAndKeepsDrawingWithoutFocus)
{
    WindowDevice w(640, 480, 64, 32); // twice as wide as high: bars above and below
    if (!w.skipped.empty())
        GTEST_SKIP() << w.skipped;
    for (int i = 0; i < 3; ++i, SDL_Delay(50)) { // let the window settle its size
        w.Clear(0x00FF0000);
        EXPECT_EQ(w.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    int width = 0, height = 0;
    const std::vector<uint32_t> shown = w.Shown(width, height);
    ASSERT_EQ(shown.size(), size_t(width) * height);
    auto at = [&](int x, int y) { return shown[size_t(y) * width + x]; };
    EXPECT_EQ(at(width / 2, height / 2), 0xFF0000u);
    EXPECT_EQ(at(2, height / 2), 0xFF0000u); // no bars at the sides
    EXPECT_EQ(at(width / 2, 2), 0u);         // bars above and below
    EXPECT_EQ(at(width / 2, height - 3), 0u);

    // Focus lost (minimised): the frame is drawn, Present still succeeds,
    // and the offscreen frame stays readable after it.
    SDL_MinimizeWindow(w.window);
    w.Clear(0x0000FF00);
    EXPECT_EQ(w.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    std::vector<uint32_t> pixels;
    UINT backWidth = 0, backHeight = 0;
    ASSERT_EQ(OrvelGL::ReadBackBuffer(w.device, pixels, backWidth, backHeight), D3D_OK);
    EXPECT_EQ(pixels[0], 0xFF00FF00u);
}

// A back buffer of the window's size is the window's own: what is drawn
// shows after Present with nothing in between, the frame is readable until
// Present and, the swapped buffer being undefined, not after it until the
// next Clear.
TEST(GLWindowTest, ABackBufferOfTheWindowsSizeIsDrawnStraightIntoTheWindow)
{
    WindowDevice w(96, 64, 96, 64);
    if (!w.skipped.empty())
        GTEST_SKIP() << w.skipped;
    std::vector<uint32_t> pixels;
    UINT backWidth = 0, backHeight = 0;
    for (D3DCOLOR colour : {0x00FF0000u, 0x000000FFu}) {
        w.Clear(colour);
        // A sprite-sized opaque square over the cleared frame: drawn into the window too.
        const float quad[4][3] = {{-1, 1, 0.5f}, {0, 1, 0.5f}, {0, 0, 0.5f}, {-1, 0, 0.5f}};
        w.device->SetRenderState(D3DRS_LIGHTING, FALSE);
        w.device->SetRenderState(D3DRS_ZENABLE, FALSE);
        w.device->SetFVF(D3DFVF_XYZ);
        ASSERT_EQ(w.device->BeginScene(), D3D_OK);
        ASSERT_EQ(w.device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 12), D3D_OK);
        ASSERT_EQ(w.device->EndScene(), D3D_OK);
        ASSERT_EQ(OrvelGL::ReadBackBuffer(w.device, pixels, backWidth, backHeight), D3D_OK);
        EXPECT_EQ(pixels[size_t(16) * 96 + 16], 0xFFFFFFFFu) << "the square, top left";
        EXPECT_EQ(pixels[size_t(48) * 96 + 80], 0xFF000000u | colour) << "the cleared frame, bottom right";
        EXPECT_EQ(w.device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_EQ(OrvelGL::ReadBackBuffer(w.device, pixels, backWidth, backHeight), D3DERR_INVALIDCALL);
    }
    int width = 0, height = 0;
    const std::vector<uint32_t> shown = w.Shown(width, height);
    ASSERT_EQ(std::make_pair(width, height), std::make_pair(96, 64));
    ASSERT_EQ(shown.size(), size_t(96 * 64));
    EXPECT_EQ(shown[size_t(16) * 96 + 16], 0xFFFFFFu);
    EXPECT_EQ(shown[size_t(48) * 96 + 80], 0x0000FFu);
}
