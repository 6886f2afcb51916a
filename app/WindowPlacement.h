#pragma once

// Where the main window stands: its normal (not maximised) frame in screen pixels, and
// whether it is shown normal, minimised or maximised.
struct WindowPlacement {
    enum State { Normal = 0, Minimized = 1, Maximized = 2 };

    int WindowState = Normal;
    int Left = 100;
    int Top = 80;
    int Width = 1100;
    int Height = 760;

    bool operator==(const WindowPlacement&) const = default;
};
