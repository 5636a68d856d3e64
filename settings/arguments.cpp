// Splits the command's argument text in one pass into a fixed buffer:
// whitespace separates, double quotes group and vanish, and a word that
// starts with a slash is cut before each further slash so that switches may
// be written together ("/D/R").
#include "settings/arguments.h"

#include <string.h>

#include "host/host_api.h"
#include "plugin/diagnostics.h"
#include "plugin/text.h"

ArgumentListState ArgumentList;

// b is where the argument being built has its terminator, and so where its
// next character goes; k counts the arguments completed so far; n is the
// length of the one being built.
struct Tokenizer {
    int b;
    int k;
    int n;
    int quoted;
};

static void ResetArgumentList(void)
{
    ArgumentList.count = 0;
    memset(ArgumentList.text, 0, sizeof ArgumentList.text); // null is all zero bytes on every target
    memset(ArgumentList.length, 0, sizeof ArgumentList.length);
    // The rest of the buffer is overwritten as arguments are stored.
    ArgumentList.buffer[0] = 0;
}

static void EndArgument(Tokenizer* t)
{
    t->k += 1;
    t->b += 1;
    if (t->b < MAX_ARG_LEN)
        ArgumentList.buffer[t->b] = 0;
    t->n = 0;
}

static int ReportOverflow(int b)
{
    WriteErrorPrefix();
    Qprintf(ErrorOutput(), TEXT("Buffer overflow: b = %d, MAX_ARG_LEN = %d \r\n"), b,
            (int)MAX_ARG_LEN);
    return -1;
}

// 0 when the character was stored or dropped, -1 on overflow.
static int StoreChar(Tokenizer* t, WCHAR c)
{
    // The character and its terminator must both fit, even when the
    // character itself would be dropped for want of an argument slot.
    if (t->b >= MAX_ARG_LEN - 1)
        return ReportOverflow(t->b);
    if (t->k >= MAX_ARGS)
        return 0;
    WCHAR* at = &ArgumentList.buffer[t->b];
    if (t->n == 0)
        ArgumentList.text[t->k] = at;
    at[0] = c;
    at[1] = 0;
    t->b += 1;
    t->n += 1;
    ArgumentList.length[t->k] = t->n;
    return 0;
}

static int StartsSlashWord(const Tokenizer* t)
{
    return t->n >= 2 && ArgumentList.text[t->k][0] == '/';
}

// Leading whitespace can only have come from quotes and is kept; trailing
// whitespace is never wanted.
static void TrimArguments(int count)
{
    for (int i = 0; i < count; ++i) {
        WCHAR* text = ArgumentList.text[i];
        int32_t* length = &ArgumentList.length[i];
        while (*length > 0 && IsSpaceChar(text[*length - 1])) {
            *length -= 1;
            text[*length] = 0;
        }
    }
}

int ParseArguments(const WCHAR* line)
{
    if (line == nullptr)
        return -1;
    ResetArgumentList();

    Tokenizer t = {0, 0, 0, 0};
    for (const WCHAR* p = line;; ++p) {
        WCHAR c = *p;
        if (c == '"') {
            t.quoted = !t.quoted;
            continue;
        }
        if (!t.quoted && IsSpaceChar(c)) {
            if (t.n > 0)
                EndArgument(&t);
            continue;
        }
        if (!t.quoted && c == '/' && StartsSlashWord(&t)) {
            EndArgument(&t);
            if (StoreChar(&t, c) < 0)
                return -1;
            continue;
        }
        if (c == 0) {
            if (t.n > 0)
                t.k += 1;
            break;
        }
        if (StoreChar(&t, c) < 0)
            return -1;
    }

    TrimArguments(t.k);
    ArgumentList.count = t.k;
    return t.k;
}
