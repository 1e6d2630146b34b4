// Fuzzes the empty-instance expansion of counter paths: any path (machine names, odd parentheses
// and backslashes, lengths around the limits), any capacity, and an instance list scripted by the
// input that answers with a list, nothing, or no memory. The result must be what a plain model of
// the documented rules gives, in a heap buffer of exactly the capacity; the list must be asked for
// the machine and object the path names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "counters/counter_path.h"
#include "fuzz_input.h"
#include "text/convert.h"

namespace {

const char Target[] = "counter path";

enum class Answer { NoMemory, Nothing, List };

// The scripted instance list and what the expansion asked of it.
struct Script {
    Answer answer;
    std::wstring list; // instances, each ended by a zero, as the counter library lists them
    int calls;
    bool machineGiven;
    std::wstring machine;
    std::wstring object;
    std::wstring before; // the output when the list was asked for
    int capacity;
};

bool AppendScriptedInstance(void* context, const wchar_t* machine, const wchar_t* object,
                            wchar_t* output, int* length, int capacity) {
    Script* script = static_cast<Script*>(context);
    script->calls++;
    script->machineGiven = machine != nullptr;
    script->machine = machine ? machine : L"";
    script->object = object;
    script->before = std::wstring(output, static_cast<size_t>(*length));
    FuzzCheck(output[*length] == L'\0', Target, "the start is terminated when the list is asked");
    script->capacity = capacity;
    if (script->answer == Answer::NoMemory)
        return false;
    if (script->answer == Answer::List && !script->list.empty()) {
        // The list on the heap at its exact length, without a terminator after it.
        size_t count = script->list.size();
        wchar_t* list = static_cast<wchar_t*>(std::malloc(count * sizeof(wchar_t)));
        script->list.copy(list, count);
        *length = AppendWideText(output, *length, capacity, list, static_cast<int>(count));
        std::free(list);
    }
    return true;
}

struct Expected {
    bool written;      // anything written at all
    std::wstring text; // the output when written
    bool asks;         // the list is asked for
    std::wstring machine;
    bool machineGiven;
    std::wstring object;
    std::wstring start;
};

// The expansion by the documented rules.
Expected Expand(const std::wstring& path, int capacity, const Script& script) {
    Expected e{false, L"", false, L"", false, L"", L""};
    if (capacity < 1)
        return e;
    const size_t size = path.size();
    size_t lead = path.find_first_not_of(L'\\');
    if (lead == std::wstring::npos)
        lead = size;
    size_t machineEnd = 0;
    size_t objectStart = lead;
    if (lead >= 2) {
        machineEnd = path.find(L'\\', lead);
        if (machineEnd == std::wstring::npos)
            machineEnd = size;
        objectStart = machineEnd < size ? machineEnd + 1 : size;
    }
    size_t objectEnd = path.find(L'\\', objectStart);
    if (objectEnd == std::wstring::npos)
        objectEnd = size;
    const std::wstring object = path.substr(objectStart, objectEnd - objectStart);
    const size_t open = object.rfind(L'(');
    const size_t limit = static_cast<size_t>(capacity) - 1;
    if (open == std::wstring::npos || open + 1 >= object.size() || object[open + 1] != L')' ||
        open >= static_cast<size_t>(CounterObjectChars)) {
        e.written = true;
        e.text = path.substr(0, limit);
        return e;
    }
    const size_t close = objectStart + open + 1;
    if (close + 1 >= static_cast<size_t>(capacity))
        return e;
    e.written = true;
    e.asks = true;
    e.machineGiven = machineEnd > 0;
    e.machine = path.substr(0, machineEnd < CounterPathChars ? machineEnd : CounterPathChars - 1);
    e.object = object.substr(0, open);
    e.start = path.substr(0, close);
    if (script.answer == Answer::NoMemory) {
        e.text = e.start;
        return e;
    }
    std::wstring first;
    if (script.answer == Answer::List)
        first = script.list.substr(0, script.list.find(L'\0'));
    e.text = (e.start + first + path.substr(close, CounterPathChars)).substr(0, limit);
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    // Every capacity from below zero to past the expanded path's.
    const int capacity = static_cast<int>(in.Word() % (CounterPathChars + 12)) - 2;
    Script script{Answer::List, L"", 0, false, L"", L"", L"", 0};
    const uint8_t answer = in.Byte();
    script.answer = answer % 8 == 0   ? Answer::NoMemory
                    : answer % 8 == 1 ? Answer::Nothing
                                      : Answer::List;
    for (int count = in.Byte() % 4; count > 0; count--)
        script.list += in.Text(CounterPathChars + 8) + L'\0';
    // Paths as long as a slot holds and beyond, so the limits are crossed.
    const std::wstring path = in.Text(2 * CounterPathChars);

    wchar_t* text = static_cast<wchar_t*>(std::malloc((path.size() + 1) * sizeof(wchar_t)));
    path.copy(text, path.size());
    text[path.size()] = L'\0';
    // A capacity of 0 or less gets a buffer of one place, which must stay as it was.
    const size_t places = capacity > 0 ? static_cast<size_t>(capacity) : 1;
    wchar_t* output = static_cast<wchar_t*>(std::malloc(places * sizeof(wchar_t)));
    for (size_t i = 0; i < places; i++)
        output[i] = L'#';

    const int length = ExpandEmptyInstance(text, AppendScriptedInstance, &script, output, capacity);
    const Expected e = Expand(path, capacity, script);
    if (!e.written) {
        FuzzCheck(length == 0 && output[0] == L'#', Target,
                  "a start that does not fit writes nothing");
    } else {
        FuzzCheck(length >= 0 && length < capacity && output[length] == L'\0', Target,
                  "the path ends within its capacity");
        FuzzCheck(std::wstring(output, static_cast<size_t>(length)) == e.text, Target,
                  "the path is expanded as the rules say");
    }
    FuzzCheck(script.calls == (e.asks ? 1 : 0), Target, "the list is asked once, when expanding");
    if (e.asks) {
        FuzzCheck(script.machineGiven == e.machineGiven && script.machine == e.machine, Target,
                  "the list is asked of the path's machine");
        FuzzCheck(script.object == e.object, Target, "the list is asked for the path's object");
        FuzzCheck(script.before == e.start && script.capacity == capacity, Target,
                  "the instance follows the path's start");
    }
    FuzzCheck(ExpandEmptyInstance(nullptr, AppendScriptedInstance, &script, output, capacity) == 0,
              Target, "no path gives nothing");

    std::free(output);
    std::free(text);
    return 0;
}
