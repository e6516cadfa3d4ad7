#include "app/TForm.h"

#include <cstdio>
#include <cstring>

#include "app/AppGlobals.h"
#include "tlib/TException.h"

namespace {
int gFormCounter = 0;
}

TForm::TForm(WNDPROC proc, void*)
    : mTitle(nullptr), mProc(proc), mWindow(nullptr), mCreated(false), mX(0), mY(0), mWidth(0), mHeight(0)
{
    std::snprintf(mClassName, sizeof mClassName, "TForm%d", gFormCounter++);
    if (gWindows == nullptr || !gWindows->RegisterClass(mClassName, proc)) {
        throw tlib::TException("TForm::TForm() - Failed to register window class");
    }
}

TForm::~TForm()
{
    if (mCreated && mWindow != nullptr && gWindows->IsWindow(mWindow)) {
        gWindows->DestroyWindow(mWindow);
    }
    gWindows->UnregisterClass(mClassName);
    delete[] mTitle;
}

void TForm::Create(TForm*, const char* title, int width, int height, int)
{
    mCreated = true;
    size_t length = std::strlen(title);
    mTitle = new char[length + 1];
    std::memcpy(mTitle, title, length + 1);
    mWidth = width;
    mHeight = height;
    mWindow = gWindows->CreateWindow(mClassName, mTitle, width, height);
    if (mWindow == nullptr) {
        throw tlib::TException("TForm::Create() - Failed to create window '%s' (%d)", mTitle, 0);
    }
}

void TForm::Centre()
{
    if (!mCreated || mWindow == nullptr) {
        return;
    }
    int screenWidth = 0;
    int screenHeight = 0;
    gWindows->GetScreenSize(&screenWidth, &screenHeight);
    mX = (screenWidth - mWidth) / 2;
    mY = (screenHeight - mHeight) / 2;
    gWindows->MoveWindow(mWindow, mX, mY);
}

void TForm::Show()
{
    if (mWindow != nullptr) {
        gWindows->ShowWindow(mWindow);
    }
}
