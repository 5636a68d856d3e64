// An in-memory registry with the two roots the plug-in uses.
#include <map>
#include <set>

#include "standins/windows/standin_internal.h"

namespace standin {
namespace {

struct Value {
    std::u16string name; // as first written
    DWORD type;
    std::vector<uint8_t> data;
};

struct Key {
    std::map<std::u16string, Value> values; // by folded name
};

struct OpenKey {
    HKEY root;
    std::u16string path; // folded
    REGSAM access;
};

struct RegistryState {
    std::map<std::pair<HKEY, std::u16string>, Key> keys; // (root, folded path)
    std::map<uintptr_t, OpenKey> open;
    uintptr_t nextHandle = 0x9000;
    std::set<HKEY> denied;
    std::vector<RegistryOpenCall> openCalls;
};

RegistryState& State()
{
    static RegistryState state;
    return state;
}

bool IsRoot(HKEY key)
{
    return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

// A root, or an open key below which a relative path is resolved.
bool Resolve(HKEY base, const std::u16string& subKey, HKEY* root, std::u16string* path)
{
    std::u16string sub = FoldCase(subKey);
    while (!sub.empty() && sub.back() == u'\\')
        sub.pop_back();
    if (IsRoot(base)) {
        *root = base;
        *path = sub;
        return true;
    }
    auto it = State().open.find((uintptr_t)base);
    if (it == State().open.end())
        return false;
    *root = it->second.root;
    *path = it->second.path.empty() ? sub : sub.empty() ? it->second.path : it->second.path + u"\\" + sub;
    return true;
}

Key* FindKey(HKEY root, const std::u16string& foldedPath)
{
    auto it = State().keys.find({root, foldedPath});
    return it == State().keys.end() ? nullptr : &it->second;
}

// Creating a key creates every key on its path.
Key& MakeKey(HKEY root, const std::u16string& foldedPath)
{
    size_t at = 0;
    while ((at = foldedPath.find(u'\\', at)) != std::u16string::npos)
        State().keys[{root, foldedPath.substr(0, at++)}];
    return State().keys[{root, foldedPath}];
}

OpenKey* FindOpen(HKEY key)
{
    auto it = State().open.find((uintptr_t)key);
    return it == State().open.end() ? nullptr : &it->second;
}

HKEY NewHandle(HKEY root, const std::u16string& path, REGSAM access)
{
    uintptr_t handle = State().nextHandle++;
    State().open[handle] = {root, path, access};
    return (HKEY)handle;
}

// The checks every call on an open key makes: the fault plan, the handle,
// and the right the call needs.
LSTATUS OpenKeyFor(Api api, HKEY handle, REGSAM right, OpenKey** open)
{
    if (CallFails(api))
        return ERROR_ACCESS_DENIED;
    *open = FindOpen(handle);
    if (!*open)
        return ERROR_INVALID_HANDLE;
    if (!((*open)->access & right))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

} // namespace

void ResetRegistry()
{
    State() = RegistryState();
}

void SetRegistryValue(HKEY root, const std::u16string& path, const std::u16string& name, DWORD type,
                      const std::vector<uint8_t>& data)
{
    MakeKey(root, FoldCase(path)).values[FoldCase(name)] = {name, type, data};
}

void SetRegistryDword(HKEY root, const std::u16string& path, const std::u16string& name, DWORD value)
{
    std::vector<uint8_t> data(4);
    for (int i = 0; i < 4; ++i)
        data[i] = (uint8_t)(value >> (8 * i));
    SetRegistryValue(root, path, name, REG_DWORD, data);
}

void CreateRegistryKey(HKEY root, const std::u16string& path)
{
    MakeKey(root, FoldCase(path));
}

bool RegistryKeyExists(HKEY root, const std::u16string& path)
{
    return FindKey(root, FoldCase(path)) != nullptr;
}

std::optional<RegistryData> RegistryValue(HKEY root, const std::u16string& path,
                                          const std::u16string& name)
{
    Key* key = FindKey(root, FoldCase(path));
    if (!key)
        return std::nullopt;
    auto it = key->values.find(FoldCase(name));
    if (it == key->values.end())
        return std::nullopt;
    return RegistryData{it->second.type, it->second.data};
}

std::vector<std::u16string> RegistryValueNames(HKEY root, const std::u16string& path)
{
    std::vector<std::u16string> names;
    if (Key* key = FindKey(root, FoldCase(path))) {
        for (const auto& entry : key->values)
            names.push_back(entry.second.name);
    }
    return names;
}

void DenyRegistryAccess(HKEY root, bool deny)
{
    if (deny)
        State().denied.insert(root);
    else
        State().denied.erase(root);
}

int OpenRegistryKeys()
{
    return (int)State().open.size();
}

std::vector<RegistryOpenCall> RegistryOpenCalls()
{
    return State().openCalls;
}

} // namespace standin

using namespace standin;

extern "C" {

LSTATUS WINAPI RegOpenKeyExW(HKEY base, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    State().openCalls.push_back(
        {Api::RegOpenKeyExW, base, subKey ? subKey : u"", 0, false, options, access, false, false});
    if (CallFails(Api::RegOpenKeyExW))
        return ERROR_ACCESS_DENIED;
    HKEY root;
    std::u16string path;
    if (!Resolve(base, subKey ? subKey : u"", &root, &path))
        return ERROR_INVALID_HANDLE;
    if (State().denied.count(root))
        return ERROR_ACCESS_DENIED;
    if (!FindKey(root, path))
        return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(root, path, access);
    return ERROR_SUCCESS;
}

// As on Windows: a missing value leaves type and data alone; a slot too small
// for the data reports the type and the size needed, returns ERROR_MORE_DATA
// and leaves the slot untouched.
LSTATUS WINAPI RegQueryValueExW(HKEY handle, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                LPBYTE data, LPDWORD size)
{
    (void)reserved;
    OpenKey* open = nullptr;
    if (LSTATUS status = OpenKeyFor(Api::RegQueryValueExW, handle, KEY_QUERY_VALUE, &open))
        return status;
    Key* key = FindKey(open->root, open->path);
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    auto it = key->values.find(FoldCase(name ? name : u""));
    if (it == key->values.end())
        return ERROR_FILE_NOT_FOUND;
    const Value& value = it->second;
    if (data != nullptr && (size == nullptr || *size < value.data.size())) {
        if (type)
            *type = value.type;
        if (size)
            *size = (DWORD)value.data.size();
        return ERROR_MORE_DATA;
    }
    if (type)
        *type = value.type;
    if (data)
        std::copy(value.data.begin(), value.data.end(), data);
    if (size)
        *size = (DWORD)value.data.size();
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCreateKeyExW(HKEY base, LPCWSTR subKey, DWORD reserved, LPWSTR className,
                               DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                               PHKEY result, LPDWORD disposition)
{
    State().openCalls.push_back({Api::RegCreateKeyExW, base, subKey ? subKey : u"", reserved,
                                 className != nullptr, options, access, security != nullptr,
                                 disposition != nullptr});
    if (CallFails(Api::RegCreateKeyExW))
        return ERROR_ACCESS_DENIED;
    HKEY root;
    std::u16string path;
    if (!Resolve(base, subKey ? subKey : u"", &root, &path))
        return ERROR_INVALID_HANDLE;
    if (State().denied.count(root))
        return ERROR_ACCESS_DENIED;
    bool existed = FindKey(root, path) != nullptr;
    MakeKey(root, path);
    *result = NewHandle(root, path, access);
    if (disposition)
        *disposition = existed ? 2 : 1; // REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExW(HKEY handle, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size)
{
    (void)reserved;
    OpenKey* open = nullptr;
    if (LSTATUS status = OpenKeyFor(Api::RegSetValueExW, handle, KEY_SET_VALUE, &open))
        return status;
    std::u16string valueName = name ? name : u"";
    MakeKey(open->root, open->path).values[FoldCase(valueName)] = {
        valueName, type, std::vector<uint8_t>(data, data + size)};
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueW(HKEY handle, LPCWSTR name)
{
    OpenKey* open = nullptr;
    if (LSTATUS status = OpenKeyFor(Api::RegDeleteValueW, handle, KEY_SET_VALUE, &open))
        return status;
    Key* key = FindKey(open->root, open->path);
    if (!key || key->values.erase(FoldCase(name ? name : u"")) == 0)
        return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

// A forced failure still releases the key, as CloseHandle does here.
LSTATUS WINAPI RegCloseKey(HKEY handle)
{
    bool fails = CallFails(Api::RegCloseKey);
    bool wasOpen = State().open.erase((uintptr_t)handle) != 0;
    if (fails || !wasOpen)
        return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

} // extern "C"
