#pragma once
// The layout the two drawing tabs share: a heading, the canvas under it,
// labelled fields, a full-width compute button, the result and the help
// button. The tab keeps its result; the canvas draws it.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calculators/help_texts.h"
#include "calculators/win/canvas.h"
#include "shell/panel.h"

namespace kit::calc {

struct FieldRow {
    const wchar_t* label;
    int id;
    int x, y;  // the field's top; its label sits 2 px lower
    int labelWidth, fieldWidth;
    std::string_view initial;
};

struct DrawnTabLayout {
    const wchar_t* className;
    const wchar_t* heading;
    const wchar_t* canvasClass;
    int canvasId, canvasHeight;
    std::vector<FieldRow> fields;
    int computeId, computeY;
    int resultId, resultY, resultHeight;
    int helpId, helpY;
    const wchar_t* helpButton;
};

// Creates the panel with its controls and computes once. `compute` reads the
// fields and returns the result text; after each run the canvas repaints.
HWND createDrawnTab(HWND mainWindow, Panel& panel, const DrawnTabLayout& layout, const Picture* picture,
                    std::function<std::string()> compute, HelpText (*help)());

}  // namespace kit::calc
