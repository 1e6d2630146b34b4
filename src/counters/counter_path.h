// Counter paths: the empty-instance expansion, with the instance list reached through a callback.
#pragma once

// Capacity of an expanded counter path, terminator included; a machine name is kept within it.
constexpr int CounterPathChars = 260;
// The list query takes object names of up to 31 characters.
constexpr int CounterObjectChars = 32;

// Appends the first instance the counter library lists for object on machine (null: this
// computer) at output[*length], within capacity, and moves *length past it; appends nothing when
// the list is empty or cannot be read. Returns false when no memory for the list was had.
typedef bool (*AppendFirstInstanceFn)(void* context, const wchar_t* machine, const wchar_t* object,
                                      wchar_t* output, int* length, int capacity);

// Where the parts of a counter path "\\machine\object(instance)\counter" lie, as indexes
// into it: the machine name ends at machineEnd (0 when there is none), the object starts at
// objectStart and ends at objectEnd (the next backslash or the end); open is its last '(', or
// -1 when it names no instance.
struct CounterPathParts {
    int machineEnd;
    int objectStart;
    int objectEnd;
    int open;
};
void SplitCounterPath(const wchar_t* path, CounterPathParts* parts);

// Copies path into output (capacity characters, terminator included), filling an empty instance
// "()" of its object with what appendFirst appends. The object is the part after the leading
// backslashes and, after two of them, a machine name; its last '(' opens the instance. A path
// without an empty instance, or whose object name has CounterObjectChars characters or more, is
// copied as it is. A machine name is cut at CounterPathChars - 1 characters, and the text after
// the instance at CounterPathChars. Returns the characters written; 0 with nothing written when
// the path up to its "()" and a terminator do not fit. When appendFirst fails, output ends after
// the '('.
int ExpandEmptyInstance(const wchar_t* path, AppendFirstInstanceFn appendFirst, void* context,
                        wchar_t* output, int capacity);
