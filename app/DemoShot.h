// The headless screenshot mode of the demonstration program:
//
//     zentavo-demo --shot FILE.png [--category N] [--open TFormClass]
//
// builds the main window, selects category N (1 to 11) as a click on its
// category button would, optionally opens the demonstration window
// TFormClass on top of it, and writes what the screen would show to a PNG
// file. Pixels outside the main window's outline are transparent.
#pragma once

#include <QImage>

#include "SysUtils.h"

struct TShotOptions {
    String FileName;
    int Category = 0;     // 0: as stored
    String OpenClass;     // empty: none
};

// The picture of the main window (and the opened window) as described above.
// Raises an exception saying what went wrong for a bad category, an unknown
// window class or a window that cannot be built.
QImage RenderDemoShot(const TShotOptions& Options);
// Renders and writes the PNG file; raises EFCreateError when it cannot be
// written.
void WriteDemoShot(const TShotOptions& Options);

class TControl;
// A left click in the middle of the control, delivered as the mouse press and
// release a user's click produces.
void ClickLikeAUser(TControl* Control);
