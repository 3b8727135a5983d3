#pragma once

// A grid without a window, for the tests of the grid's core and the fuzz target of its file
// loader: a fixed-width text measurer, a device context that records what is drawn, and the
// window services answered from plain fields.

#include "pallomir/grid/core/CGridCore.h"
#include "pallomir/grid/core/CGridEditWnd.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace gridtest {

// Every byte is 7 pixels wide, every line 13 pixels high.
class FakeMeasurer : public IGridTextMeasurer {
  public:
    static constexpr int kCharWidth = 7;
    static constexpr int kLineHeight = 13;

    CSize GetTextExtent(const LOGFONT &, const char *, int length) override {
        return CSize(length * kCharWidth, kLineHeight);
    }
    TEXTMETRIC GetTextMetrics(const LOGFONT &) override {
        TEXTMETRIC tm;
        tm.tmHeight = kLineHeight;
        tm.tmAscent = 10;
        tm.tmAveCharWidth = kCharWidth;
        return tm;
    }
    // Breaks at blanks and line feeds, as many words to a line as fit.
    CSize GetWrappedExtent(const LOGFONT &, const char *text, int length, int width) override {
        int lines = 1;
        int widest = 0;
        int line = 0;
        int word = 0;
        const auto endWord = [&] {
            const int wanted = (line > 0 ? line + 1 : 0) + word;
            if (line > 0 && wanted * kCharWidth > width) {
                ++lines;
                line = word;
            } else {
                line = wanted;
            }
            widest = std::max(widest, line);
            word = 0;
        };
        for (int i = 0; i < length; ++i) {
            if (text[i] == ' ') {
                endWord();
            } else if (text[i] == '\n') {
                endWord();
                ++lines;
                line = 0;
            } else {
                ++word;
            }
        }
        endWord();
        return CSize(widest * kCharWidth, lines * kLineHeight);
    }
    LOGFONT GetMessageFont() override {
        LOGFONT font;
        font.lfHeight = -12;
        font.lfWeight = FW_NORMAL;
        SetFaceName(font, "Fake");
        return font;
    }
};

// Records every drawing call with the state it was made in.
class RecordingDC : public CDC {
  public:
    struct Text {
        std::string text;
        CRect rect;
        UINT format;
        COLORREF colour;
        LOGFONT font;
        CPoint windowOrg;
    };
    struct Fill {
        CRect rect;
        COLORREF colour;
    };
    struct Line {
        CPoint from;
        CPoint to;
        COLORREF colour;
    };

    explicit RecordingDC(IGridTextMeasurer *measurer, bool printing = false)
        : CDC(measurer), m_printing(printing) {}

    bool IsPrinting() const override { return m_printing; }
    int GetDeviceCaps(int index) const override {
        switch (index) {
        case HORZRES:
            return pageWidth;
        case VERTRES:
            return pageHeight;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return m_printing ? 600 : 96;
        case NUMCOLORS:
            return numColours;
        default:
            return 0;
        }
    }
    void FillSolidRect(const CRect &rect, COLORREF colour) override {
        fills.push_back({rect, colour});
    }
    void DrawLine(CPoint from, CPoint to, COLORREF colour) override {
        lines.push_back({from, to, colour});
    }
    void DrawImage(const CImageList &, int index, CPoint at) override {
        images.push_back({index, at});
    }
    void InvertRect(const CRect &rect) override { inverted.push_back(rect); }

    // The recorded texts that equal the given one.
    std::vector<Text> TextsEqual(const std::string &wanted) const {
        std::vector<Text> found;
        for (const Text &t : texts)
            if (t.text == wanted)
                found.push_back(t);
        return found;
    }

    std::vector<Text> texts;
    std::vector<Fill> fills;
    std::vector<Line> lines;
    std::vector<std::pair<int, CPoint>> images;
    std::vector<CRect> inverted;
    int pageWidth = 4800;
    int pageHeight = 6800;
    int numColours = -1;

  protected:
    void DoDrawText(const char *text, int length, const CRect &rect, UINT format) override {
        texts.push_back({std::string(text, static_cast<std::size_t>(length)), rect, format,
                         GetTextColor(), GetCurrentLogFont(), GetWindowOrg()});
    }

  private:
    bool m_printing;
};

class FakeGrid;

// An editor that holds its text; EndEdit tells the grid as the real one does.
class FakeEditor : public CGridEditWnd {
  public:
    FakeEditor(CGridCore *grid, int row, int col, const CString &text, UINT firstChar)
        : grid(grid), row(row), col(col), text(text), firstChar(firstChar) {}
    void SendChar(UINT ch) override { text += static_cast<char>(ch); }
    void Paste() override { ++pastes; }
    void EndEdit() override {
        if (!destroyed && !grid->IsEndingInPlaceEdit())
            grid->EndInPlaceEdit(this, row, col, lastKey);
    }
    void DestroyEditor() override { destroyed = true; }
    CString GetWindowText() const override { return text; }

    CGridCore *grid;
    int row;
    int col;
    CString text;
    UINT firstChar;
    UINT lastKey = 0;
    int pastes = 0;
    bool destroyed = false;
};

// Hears a grid's notifications; answers them from `answers` by code (0 when absent).
class FakeOwner : public IGridNotifyTarget {
  public:
    struct Heard {
        int code;
        int row;
        int col;
    };
    LRESULT OnGridNotify(NMHDR *record) override {
        int row = -1;
        int col = -1;
        if (record->code == GVN_GETDISPINFO) {
            auto *info = reinterpret_cast<GV_DISPINFO *>(record);
            row = info->item.row;
            col = info->item.col;
            info->item.strText.Format("r%dc%d", row, col);
        } else if (record->code != GVN_ODCACHEHINT) {
            const auto *cell = reinterpret_cast<GridNotifyRecord *>(record);
            row = cell->iRow;
            col = cell->iColumn;
        }
        heard.push_back({record->code, row, col});
        if (onNotify)
            onNotify(record);
        for (const auto &[code, answer] : answers)
            if (code == record->code)
                return answer;
        return 0;
    }
    void OnGridCommand(CGridCore *, UINT) override { ++commands; }

    int Count(int code) const {
        int n = 0;
        for (const Heard &h : heard)
            n += h.code == code ? 1 : 0;
        return n;
    }

    std::vector<Heard> heard;
    std::vector<std::pair<int, LRESULT>> answers;
    // Runs inside every notification, after it is recorded.
    std::function<void(NMHDR *)> onNotify;
    int commands = 0;
};

class FakeGrid : public CGridCore {
  public:
    explicit FakeGrid(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0)
        : CGridCore(measurer(), rows, cols, fixedRows, fixedCols) {
        SetOwner(&owner);
        ResetScrollBars();
    }
    ~FakeGrid() override {
        DetachWindow();
        for (FakeEditor *editor : editors)
            delete editor;
    }

    static FakeMeasurer &measurer() {
        static FakeMeasurer instance;
        return instance;
    }

    void SetClientSize(int width, int height) {
        clientWidth = width;
        clientHeight = height;
        OnSize();
    }
    // Paints the whole client area into a recording.
    void Paint(RecordingDC &dc) {
        dc.SetClipBox(GetClientRect());
        OnDraw(&dc);
    }
    FakeEditor *LastEditor() const { return editors.empty() ? nullptr : editors.back(); }

    // The clipboard commands work on `clipboard`.
    void OnEditCopy() override { clipboard = GetSelectedText(); }
    void OnEditCut() override {
        if (!IsEditable())
            return;
        OnEditCopy();
        CutSelectedText();
    }
    void OnEditPaste() override {
        if (IsEditable() && IsValid(GetPasteTarget()))
            PasteTextToGrid(GetPasteTarget(), clipboard, TRUE);
    }

    using CGridCore::GetScrollLimit;

    int clientWidth = 400;
    int clientHeight = 300;
    int invalidations = 0;
    int scrollUpdates = 0;
    GridCursor cursor = GridCursor::Arrow;
    bool shift = false;
    bool ctrl = false;
    CPoint cursorPos;
    std::vector<UINT> timers;
    std::vector<FakeEditor *> editors;
    int tipsShown = 0;
    CString lastTip;
    CString clipboard;
    DROPEFFECT dropResult = DROPEFFECT_NONE;
    std::vector<CString> dragged;
    FakeOwner owner;

  protected:
    bool IsWindowCreated() const override { return true; }
    CRect GetClientRect() const override {
        return CRect(0, 0, clientWidth - (IsVisibleVScroll() ? 16 : 0),
                     clientHeight - (IsVisibleHScroll() ? 16 : 0));
    }
    int GetScrollBarThickness(int) const override { return 16; }
    void InvalidateRect(const CRect *) override { ++invalidations; }
    void UpdateScrollBars() override { ++scrollUpdates; }
    void SetGridCursor(GridCursor c) override { cursor = c; }
    void SetCapture() override {}
    void ReleaseCapture() override {}
    CPoint GetCursorPos() const override { return cursorPos; }
    void SetTimer(UINT id, UINT) override { timers.push_back(id); }
    void KillTimer(UINT id) override { std::erase(timers, id); }
    bool IsKeyDown(UINT vk) const override {
        return (vk == VK_SHIFT && shift) || (vk == VK_CONTROL && ctrl);
    }
    void SetFocus() override {}
    CGridEditWnd *CreateInPlaceEdit(const CRect &, DWORD, UINT, int row, int col,
                                    const CString &text, UINT firstChar) override {
        auto *editor = new FakeEditor(this, row, col, text, firstChar);
        editors.push_back(editor);
        return editor;
    }
    void ShowTitleTip(const CRect &, const CString &text, int, const CRect &, const LOGFONT *,
                      COLORREF, COLORREF) override {
        ++tipsShown;
        lastTip = text;
    }
    void HideTitleTip() override {}
    void PostCommandToOwner() override { owner.OnGridCommand(this, GetDlgCtrlID()); }
    DROPEFFECT DoDragDrop(const CString &text) override {
        dragged.push_back(text);
        return dropResult;
    }
};

} // namespace gridtest
