#include "plugin/host_variables.h"

#include "host/host_api.h"
#include "plugin/text.h"

void ExpandHostVariables(WCHAR* buffer, size_t capacity, const WCHAR* text)
{
    for (size_t i = 0; i < capacity; ++i)
        buffer[i] = 0;
    TextCopy(buffer, capacity, text);
    ExpandVariables(buffer, 1);
    buffer[capacity - 1] = 0;
}
