// The windowed present: the back buffer scaled into the window with its
// aspect ratio kept and black bars, and drawing going on after the window
// loses the focus. Needs an X display (run under Xvfb); skipped without one.

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include <cstring>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLProvider.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// The X, D-Bus and GLX libraries keep allocations to the end of the process;
// they are not ours to report (the device itself is leak-checked headless).
struct IgnoreSystemLeaks {
    IgnoreSystemLeaks() { __lsan_disable(); }
    ~IgnoreSystemLeaks() { __lsan_enable(); }
};
#else
struct IgnoreSystemLeaks {
    IgnoreSystemLeaks() {}
    ~IgnoreSystemLeaks() {}
};
#endif

TEST(GLWindowTest, PresentLetterboxesIntoTheWindowAndKeepsDrawingWithoutFocus)
{
    IgnoreSystemLeaks ignore;
    if (SDL_getenv("DISPLAY") == nullptr || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << "no X display: windowed present not tested (run under xvfb-run)";
    SDL_Window* window = SDL_CreateWindow("Tavrin", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    {
        OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Window);
        ASSERT_TRUE(provider.LoadLibrary());
        IDirect3D9* d3d = provider.Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS parameters;
        std::memset(&parameters, 0, sizeof parameters);
        parameters.BackBufferWidth = 64; // twice as wide as high: bars above and below
        parameters.BackBufferHeight = 32;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        parameters.Windowed = TRUE; // a bare Xvfb has no window manager to make it fullscreen
        IDirect3DDevice9* device = nullptr;
        HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x40, &parameters, &device);
        if (hr == D3DERR_NOTAVAILABLE) {
            d3d->Release();
            SDL_DestroyWindow(window);
            GTEST_SKIP() << "no OpenGL 3.3 core context on this display";
        }
        ASSERT_EQ(hr, D3D_OK);
        for (int i = 0; i < 3; ++i) { // let the window manager settle the size
            SDL_Event event;
            while (SDL_PollEvent(&event)) {
            }
            ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00FF0000, 1.0f, 0), D3D_OK);
            ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
            SDL_Delay(50);
        }
        // What the X server shows in the window.
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window, &info));
        ASSERT_EQ(info.subsystem, SDL_SYSWM_X11);
        int width = 0, height = 0;
        SDL_GetWindowSize(window, &width, &height);
        ASSERT_GT(width, 0);
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
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x0000FF00, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        std::vector<uint32_t> pixels;
        UINT w = 0, h = 0;
        ASSERT_EQ(OrvelGL::ReadBackBuffer(device, pixels, w, h), D3D_OK);
        EXPECT_EQ(pixels[0], 0xFF00FF00u);
        EXPECT_EQ(device->Release(), 0u);
        d3d->Release();
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
