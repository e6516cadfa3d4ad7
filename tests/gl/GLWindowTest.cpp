// The windowed present: the back buffer scaled into the window with its
// aspect ratio kept and black bars, and drawing going on after the window
// loses the focus. Needs an X display (run under Xvfb); skipped without one.

// First: Xlib's macros (None, Status...) would break the test headers.
#include "tests/gl/GLTestDevice.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

TEST(GLWindowTest, PresentLetterboxesIntoTheWindowAndKeepsDrawingWithoutFocus)
{
#if defined(__SANITIZE_ADDRESS__)
    // The X, D-Bus and GLX libraries keep allocations to the end of the process;
    // they are not ours to report (the device itself is leak-checked headless).
    __lsan::ScopedDisabler ignoreSystemLeaks;
#endif
    if (SDL_getenv("DISPLAY") == nullptr || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << "no X display: windowed present not tested (run under xvfb-run)";
    SDL_Window* window = SDL_CreateWindow("Tavrin", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Window);
    ASSERT_TRUE(provider.LoadLibrary());
    IDirect3D9* d3d = provider.Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters = BackBuffer(64, 32); // twice as wide as high: bars above and below
    parameters.Windowed = TRUE; // a bare Xvfb has no window manager to make it fullscreen
    IDirect3DDevice9* device = nullptr;
    HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x40, &parameters, &device);
    if (hr == D3DERR_NOTAVAILABLE)
        GTEST_SKIP() << "no OpenGL 3.3 core context on this display";
    ASSERT_EQ(hr, D3D_OK);
    auto frame = [&](D3DCOLOR colour) { // pending events handled, then a frame cleared to colour
        for (SDL_Event event; SDL_PollEvent(&event);) {
        }
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0), D3D_OK);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    };
    for (int i = 0; i < 3; ++i, SDL_Delay(50)) // let the window manager settle the size
        frame(0x00FF0000);
    // What the X server shows in the window.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(window, &info));
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, unsigned(width), unsigned(height),
                              AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    auto at = [&](int x, int y) { return uint32_t(XGetPixel(image, x, y)) & 0xFFFFFFu; };
    EXPECT_EQ(at(width / 2, height / 2), 0xFF0000u);
    EXPECT_EQ(at(2, height / 2), 0xFF0000u); // no bars at the sides
    EXPECT_EQ(at(width / 2, 2), 0u);         // bars above and below
    EXPECT_EQ(at(width / 2, height - 3), 0u);
    XDestroyImage(image);

    // Focus lost (minimised): Present still succeeds and the frame is drawn.
    SDL_MinimizeWindow(window);
    frame(0x0000FF00);
    std::vector<uint32_t> pixels;
    UINT w = 0, h = 0;
    ASSERT_EQ(OrvelGL::ReadBackBuffer(device, pixels, w, h), D3D_OK);
    EXPECT_EQ(pixels[0], 0xFF00FF00u);
    EXPECT_EQ(device->Release(), 0u);
    d3d->Release();
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
