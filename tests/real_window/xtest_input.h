#pragma once
// Real pointer input through the X server's XTest extension (loaded at run time). Kept apart
// so that Xlib's macros stay out of the test sources.
namespace quarlen::test::xtest {
bool Open();  // false when there is no X display or no XTest library
void MoveTo(int screenX, int screenY);
void LeftButton(bool press);
void Close();
}  // namespace quarlen::test::xtest
