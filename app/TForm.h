#pragma once
// One top-level window of the window layer (gWindows) with a class of its
// own, named "TForm<n>" after a process-wide form counter. Main thread only.

#include "app/IWindowLayer.h"

class TForm {
public:
    // Registers the class with proc. Raises TException "TForm::TForm() -
    // Failed to register window class".
    TForm(WNDPROC proc, void* instance);
    // Destroys the window if it still exists, then always unregisters the class.
    ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Creates the hidden window. Style 0 (framed) takes width x height as the
    // client area; this window layer draws no frame of its own, so the outer
    // size is the same. Parent windows are not supported (parent must be null).
    // Raises TException "TForm::Create() - Failed to create window '<title>' (0)".
    void Create(TForm* parent, const char* title, int width, int height, int style);
    // Moves the window to the middle of the screen (quotients truncated
    // toward zero: a window larger than the screen gets a negative position).
    void Centre();
    void Show();

    HWND Handle() const { return mWindow; }
    const char* ClassName() const { return mClassName; }
    const char* Title() const { return mTitle; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int X() const { return mX; }
    int Y() const { return mY; }

private:
    char* mTitle;
    WNDPROC mProc;
    HWND mWindow;
    bool mCreated;
    char mClassName[19];
    int mX;
    int mY;
    int mWidth;
    int mHeight;
};
