// The keystroke handler on a run of events, as a host delivers a few lines:
// entered lines, ordinary keys echoed at the cursor on one row and another,
// hotkeys, with the typed filter on or off, under either host generation,
// over a console whose rows hold command lines and tags. Only code and the
// name's first unit may change in a record; in the console only column-0
// attributes, and only by tagging; the window keeps its size inside the
// buffer; the clipboard is closed again and no block is left behind. A back
// or forward press leaves the window where a plain model of the rules puts
// it, among the tagged rows the typed text matches.
#include <string.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "host/exports.h"
#include "hotkeys/key_tables.h"
#include "navigation/beep_limiter.h"
#include "navigation/typed_filter.h"
#include "standins/windows/standin_control.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    uint8_t Next() { return size ? (--size, *data++) : 0; }
    int Next16() { return Next() | Next() << 8; }
    int32_t Next32() { return (int32_t)((uint32_t)Next16() | (uint32_t)Next16() << 16); }
};

// Narrow and tall, to cross the column blocks; wide, so that a read of
// several rows' text is cut short by the cells it may carry.
struct ConsoleShape {
    int columns;
    int maxRows;
};
const ConsoleShape Shapes[] = {{6, 600}, {40, 64}, {300, 30}};

// What command rows and typed lines hold: prompts ending in ">" or a space,
// the same start after each, a word inside an argument, case and a letter
// beyond ASCII, a wide character, and a zeroed cell.
using namespace std::literals;
const std::u16string_view RowTexts[] = {
    u"C:\\src>git status"sv, u"D:\\w>git stash"sv, u"C:\\src>echo git st"sv, u"$ git st"sv, u"$ echo git st"sv,
    u"git status"sv,         u"C:\\src>GIT ST"sv,  u"C:\\src>\u00e9cho"sv,   u"\u4E2D>gi"sv, u"a\0b>git"sv,
    u"C:\\src>"sv,           u""sv,
};
const char16_t WideCharacter = u'\u4E2D';
// Typed at the cursor: the host echoes each character.
const char16_t TypedCharacters[] = u"gitGIT s>\u00e9\u00c9$";

const int32_t Codes[] = {13, 3085, 0x80D, 0x1008D, 0x10091, 0x5008D, 0x7008D, 0x1002E, 0};
// None, Ctrl-Alt-C, and one equal to the back hotkey.
const int32_t CopyHotkeys[] = {0, 0x5002E, 0x5008D};
const char16_t* const KeyNames[] = {u"Enter", u"eNTER", u"Ctrl-Enter", u"Ctrl-Alt-Up", u"Ctrl-Alt-Down", u"g"};

enum EventKind { TypedKey, CodedKey, RawKey, KindCount };

bool IsTagOf(WORD before, WORD after)
{
    WORD marker = Startup.markerAttribute;
    if (after == before)
        return true;
    if ((after & 0xFF00) != ((before & 0xFF00) | marker))
        return false;
    if (!visibleMarker || (before & marker))
        return (after & 0x00FF) == (before & 0x00FF);
    return (after & 0x00FF) == ((before & 0xF0) == 0x10 ? 0x4E : 0x1F);
}

// A wide character takes two cells, its leading and its trailing half.
void WriteRow(int row, std::u16string_view text, int columns)
{
    int column = 0;
    for (char16_t c : text) {
        bool wide = c == WideCharacter;
        if (column + (wide ? 1 : 0) >= columns)
            return;
        standin::SetCharacter(column, row, c);
        if (wide) {
            standin::SetAttribute(column, row, (WORD)(standin::Attribute(column, row) | 0x0100));
            standin::SetCharacter(column + 1, row, c);
            standin::SetAttribute(column + 1, row, 0x0207);
            ++column;
        }
        ++column;
    }
}

// ---- the rules, plainly: every row read, every match listed -----------------------------

std::u16string RowText(int row, int from, int to, int columns)
{
    std::u16string text;
    for (int column = from; column < to && column < columns; ++column) {
        if (standin::Attribute(column, row) & 0x0200)
            continue;
        char16_t c = standin::Character(column, row);
        text.push_back(c ? c : u' ');
    }
    return text;
}

// The line typed: its row (-1: none yet), start, and the prompt before it.
struct Line {
    int32_t row = -1;
    bool known = false;
    COORD start = {0, 0};
    std::u16string prompt;
};

// Before a keystroke that enters no line: a row below 0 or the cursor names none; one above where
// the prompt now stands that much higher is the line the buffer moved; any other begins one.
void FollowLine(Line* l, int32_t row, int columns)
{
    COORD cursor = standin::Cursor();
    if (!Settings.TypedFilter || row < 0 || row > cursor.Y || row == l->row)
        return;
    int rows = l->row - row, width = l->start.X, top = l->start.Y - rows;
    bool mayHaveMoved = l->known && rows > 0 && width > 0 && top >= 0;
    if (mayHaveMoved && (rows + 1) * width > 8192) // more than one read holds
        *l = {row, false};
    else if (mayHaveMoved && RowText(top, 0, width, columns) == l->prompt &&
             RowText(l->start.Y, 0, width, columns) != l->prompt)
        *l = {row, true, {l->start.X, (SHORT)top}, l->prompt};
    else
        *l = {row, true, cursor, RowText(cursor.Y, 0, cursor.X, columns)};
}

struct Typed {
    std::u16string text;
    std::u16string prompt; // the start's row before the input start
    int startColumn;
};

// What a press reads; none when the start is unknown or its prompt gone.
std::optional<Typed> TypedNow(const Line& line, int columns)
{
    Typed typed = {u"", u"", 0};
    if (!Settings.TypedFilter)
        return typed;
    COORD start = line.start;
    if (!line.known || RowText(start.Y, 0, start.X, columns) != line.prompt)
        return std::nullopt;
    COORD cursor = standin::Cursor();
    if (!(cursor.Y > start.Y || (cursor.Y == start.Y && cursor.X > start.X)))
        return typed;
    std::u16string all;
    for (int row = start.Y; row <= cursor.Y; ++row)
        all += RowText(row, row == start.Y ? start.X : 0, row == cursor.Y ? cursor.X : columns, columns);
    while (!all.empty() && all.back() == u' ')
        all.pop_back();
    typed.text = all.substr(0, 255);
    typed.prompt = RowText(start.Y, 0, start.X, columns);
    typed.startColumn = start.X;
    return typed;
}

char16_t Folded(char16_t c)
{
    return c >= 'A' && c <= 'Z' ? (char16_t)(c + 32) : c;
}

bool BeginsWith(const std::u16string& text, const std::u16string& typed)
{
    auto same = [](char16_t a, char16_t b) { return Folded(a) == Folded(b); };
    return text.size() >= typed.size() && std::equal(typed.begin(), typed.end(), text.begin(), same);
}

// The prompt's ending, its last non-space and the spaces after it, found
// in the row as often as the prompt holds it; then the typed text.
bool Matches(const Typed& typed, int row, int columns)
{
    size_t last = typed.prompt.find_last_not_of(u' ');
    if (last == std::u16string::npos)
        return BeginsWith(RowText(row, typed.startColumn, columns, columns), typed.text);
    const std::u16string ending = typed.prompt.substr(last);
    std::u16string text = RowText(row, 0, columns, columns);
    size_t after = 0;
    for (size_t at = 0; (at = typed.prompt.find(ending, at)) != std::u16string::npos; at += ending.size()) {
        after = text.find(ending, after);
        if (after == std::u16string::npos)
            return false;
        after += ending.size();
    }
    return BeginsWith(text.substr(after), typed.text);
}

// The window's top row after a back or forward press, or -1 when it fails.
int ModelTop(bool back, int32_t eventRow, const Line& line, int rows, int columns)
{
    std::optional<Typed> typed = TypedNow(line, columns);
    if (!typed)
        return -1;
    SMALL_RECT window = standin::Window();
    int top = window.Top;
    int highestTop = rows - (window.Bottom - window.Top) - 1;
    int cursor = standin::Cursor().Y;
    int lineRow = eventRow >= 0 && eventRow <= cursor ? eventRow : std::min(line.known ? line.start.Y : cursor, cursor);
    std::vector<int> counted;
    for (int row = 0; row < rows; ++row) {
        if (!(standin::Attribute(0, row) & Startup.markerAttribute))
            continue;
        if (typed->text.empty() || (row < lineRow && Matches(*typed, row, columns)))
            counted.push_back(row);
    }
    int first = counted.empty() ? -1 : counted.front();
    int last = counted.empty() ? -1 : counted.back();
    int prev = -1;
    int next = -1;
    for (int row : counted) {
        if (row < top)
            prev = row;
        if (row > top && next < 0)
            next = row;
    }
    int target;
    if (back) {
        target = prev >= 0 ? prev : (Settings.Wrap ? last : -1);
    } else {
        target = next >= 0 ? next : (Settings.Wrap ? first : -1);
        if (target > 0 && (target > highestTop ? highestTop : target) == top)
            target = Settings.Wrap ? first : -1;
    }
    if (target < 0)
        return -1;
    return target > highestTop ? highestTop : target;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    uint8_t flags = in.Next();
    uint8_t setup = in.Next();
    const ConsoleShape& shape = Shapes[in.Next() % ArraySize(Shapes)];
    int columns = shape.columns;
    int rows = 1 + in.Next16() % shape.maxRows;
    InputProcess process(columns, rows);
    Startup.useExtendedKeys = flags & 1;
    visibleMarker = (flags >> 1) & 1;
    Settings.Wrap = (flags >> 5) & 1;
    Settings.ErrorSound = (flags >> 6) & 1;
    Startup.markerAttribute = (flags & 0x80) ? 0x0800 : 0x2000;
    Settings.CopyHotkey = CopyHotkeys[setup % ArraySize(CopyHotkeys)];
    Settings.TypedFilter = (setup >> 6) & 1;
    standin::SetConsoleWindowHandle(setup & 0x10 ? nullptr : (HWND)(uintptr_t)0x4444);
    standin::HoldClipboardElsewhere(setup & 0x20);

    int height = 1 + in.Next16() % rows;
    int top = in.Next16() % (rows - height + 1);
    int windowColumns = columns < 80 ? columns : 80;
    standin::SetWindow({0, (SHORT)top, (SHORT)(windowColumns - 1), (SHORT)(top + height - 1)});
    for (int row = 0; row < rows; ++row) {
        uint8_t content = in.Next();
        if (content & 0x80)
            standin::SetAttribute(0, row, (WORD)(0x07 | Startup.markerAttribute));
        WriteRow(row, RowTexts[content % ArraySize(RowTexts)], columns);
    }
    int cursorRow = in.Next16() % rows;
    standin::SetCursor({(SHORT)(in.Next() % columns), (SHORT)cursorRow});

    // Tagging writes column 0; a write one cell off would show in the
    // columns beside it.
    const int watchedColumns = columns < 4 ? columns : 4;
    std::vector<WORD> attributesBefore;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < watchedColumns; ++c)
            attributesBefore.push_back(standin::Attribute(c, r));
    }

    Line line;
    int events = 1 + in.Next() % 8;
    for (int e = 0; e < events; ++e) {
        uint8_t kind = in.Next();
        uint8_t held = in.Next();
        standin::SetKeyHeld(VK_SHIFT, held & 1);
        standin::SetKeyHeld(VK_CONTROL, held & 2);
        standin::SetKeyHeld(VK_MENU, held & 4);
        uint8_t rowChoice = in.Next();
        int32_t row = rowChoice < 0x80 ? (int32_t)(rowChoice % (rows + 2)) - 1 : in.Next32();
        int32_t code;
        char16_t typed = 0;
        switch (kind % KindCount) {
        case TypedKey:
            typed = TypedCharacters[(kind >> 2) % (ArraySize(TypedCharacters) - 1)];
            code = typed;
            break;
        case CodedKey:
            code = Codes[(kind >> 2) % ArraySize(Codes)];
            break;
        default:
            code = in.Next32();
            break;
        }
        std::u16string name = KeyNames[(held >> 3) % ArraySize(KeyNames)];
        std::u16string nameBefore = name;
        bool hasName = held & 0x40;

        // An older host hands over only code and row: anything more would be
        // read past the end of this allocation.
        size_t recordSize = Startup.useExtendedKeys ? sizeof(KeyEventRecord) : 8;
        std::vector<uint8_t> storage(recordSize, 0xA5);
        KeyEventRecord* record = reinterpret_cast<KeyEventRecord*>(storage.data());
        record->code = code;
        record->row = row;
        if (Startup.useExtendedKeys) {
            record->context = held & 0x80 ? storage.data() : nullptr;
            record->keyName = hasName ? &name[0] : nullptr;
        }
        std::vector<uint8_t> recordBefore = storage;
        SMALL_RECT windowBefore = standin::Window();
        bool plainHotkey = !hasName && (held & 7) == 6 && (code == 0x1008D || code == 0x10091);
        // Enter by code or by name (the first three), or no key at all.
        bool keyless = code == 0 && (!Startup.useExtendedKeys || !(held & 0x80));
        bool byName = Startup.useExtendedKeys && code == 0 && hasName;
        bool entered = code == 13 || code == 3085 || (byName ? (held >> 3) % ArraySize(KeyNames) < 3 : keyless);
        if (!entered)
            FollowLine(&line, row, columns);
        int expectedTop = plainHotkey ? ModelTop(code == 0x1008D, row, line, rows, columns) : -2;

        FUZZ_CHECK(key(record) == 0);
        if (entered)
            line = Line();

        FUZZ_CHECK(record->code == code || record->code == 0);
        FUZZ_CHECK(memcmp(storage.data() + 4, recordBefore.data() + 4, recordSize - 4) == 0);
        if (hasName && Startup.useExtendedKeys)
            FUZZ_CHECK(name == nameBefore || (name[0] == 0 && name.substr(1) == nameBefore.substr(1)));
        else
            FUZZ_CHECK(name == nameBefore);
        SMALL_RECT window = standin::Window();
        FUZZ_CHECK(window.Bottom - window.Top == windowBefore.Bottom - windowBefore.Top);
        FUZZ_CHECK(window.Top >= 0 && window.Bottom < rows);
        if (plainHotkey && record->code == 0)
            FUZZ_CHECK(window.Top == (expectedTop >= 0 ? expectedTop : windowBefore.Top));
        if (!Settings.TypedFilter || entered)
            FUZZ_CHECK(!TypingStart.known);
        // The host echoes what was typed and moves the cursor on.
        if (typed && record->code == code) {
            COORD at = standin::Cursor();
            standin::SetCharacter(at.X, at.Y, typed);
            int next = at.Y * columns + at.X + 1;
            if (next == rows * columns) { // past the last cell: the buffer scrolls up a row
                standin::ScrollUp();
                attributesBefore.erase(attributesBefore.begin(), attributesBefore.begin() + watchedColumns);
                attributesBefore.insert(attributesBefore.end(), (size_t)watchedColumns, 0x07);
                next -= columns;
            }
            standin::SetCursor({(SHORT)(next % columns), (SHORT)(next / columns)});
        }
        standin::FireTimers(); // let the beep limiter re-arm, as a message pump would
        FUZZ_CHECK(ErrorBeep.armed == 1);
    }

    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < watchedColumns; ++c) {
            WORD before = attributesBefore[(size_t)r * watchedColumns + c];
            WORD after = standin::Attribute(c, r);
            FUZZ_CHECK(c == 0 ? IsTagOf(before, after) : after == before);
        }
    }
    CheckInvariants();
    return 0;
}
