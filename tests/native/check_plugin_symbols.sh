#!/bin/sh
# The plug-in allocates nothing and throws nothing: its object code may not
# reference the heap, exceptions or RTTI. Reads the static library's
# undefined symbols.
#   check_plugin_symbols.sh NM LIBRARY
nm=$1
library=$2
forbidden=$("$nm" -u -C "$library" | sed -n 's/^ *U //p' | grep -E \
    '^(malloc|calloc|realloc|free|strdup|wcsdup|operator new|operator delete|__cxa_throw|__cxa_allocate_exception|__cxa_begin_catch|__gxx_personality_v0|typeinfo|vtable)' |
    sort -u)
if [ -n "$forbidden" ]; then
    echo "the plug-in references:"
    echo "$forbidden"
    exit 1
fi
echo "no heap, exception or RTTI symbol referenced by $(basename "$library")"
