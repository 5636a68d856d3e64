// What the plug-in needs from the host TakeCmd.dll, and the two records that
// cross the boundary. The layouts are the host's, so they are pinned below.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "plugin/platform.h"

extern "C" {
// "%s" takes a wide string, "%d" and "%u" a 32-bit integer.
int Printf(const WCHAR* format, ...);
int Qprintf(HANDLE output, const WCHAR* format, ...);
int QPuts(const WCHAR* text);
int CrLf(void);
// Replaces host-variable references in place; the plug-in always passes 1.
int ExpandVariables(WCHAR* buffer, int flag);
}

struct PluginInfoRecord {
    const WCHAR* Name;
    const WCHAR* Author;
    const WCHAR* Email;
    const WCHAR* WebPage;
    const WCHAR* Description;
    const WCHAR* Functions;
    uint32_t MajorVersion;
    uint32_t MinorVersion;
    uint32_t BuildNumber;
    uint8_t Reserved[20]; // the host's; left zero and never read
};

static_assert(offsetof(PluginInfoRecord, Name) == 0, "host layout");
static_assert(offsetof(PluginInfoRecord, Author) == 8, "host layout");
static_assert(offsetof(PluginInfoRecord, Email) == 16, "host layout");
static_assert(offsetof(PluginInfoRecord, WebPage) == 24, "host layout");
static_assert(offsetof(PluginInfoRecord, Description) == 32, "host layout");
static_assert(offsetof(PluginInfoRecord, Functions) == 40, "host layout");
static_assert(offsetof(PluginInfoRecord, MajorVersion) == 48, "host layout");
static_assert(offsetof(PluginInfoRecord, MinorVersion) == 52, "host layout");
static_assert(offsetof(PluginInfoRecord, BuildNumber) == 56, "host layout");
static_assert(offsetof(PluginInfoRecord, Reserved) == 60, "host layout");
static_assert(sizeof(PluginInfoRecord) == 80, "host layout");

// An older host is only known to fill code and row, so the fields from
// offset 8 on are read only when the newer host is present.
struct KeyEventRecord {
    int32_t code;
    int32_t row;
    uint8_t hostPrivate1[16];
    void* context;
    uint8_t hostPrivate2[16];
    WCHAR* keyName;
};

static_assert(offsetof(KeyEventRecord, code) == 0, "host layout");
static_assert(offsetof(KeyEventRecord, row) == 4, "host layout");
static_assert(offsetof(KeyEventRecord, context) == 24, "host layout");
static_assert(offsetof(KeyEventRecord, keyName) == 48, "host layout");
static_assert(sizeof(KeyEventRecord) == 56, "host layout");
