// uia_tree: what a Windows screen reader finds in a window through UI Automation, printed for a
// test to check. It waits for a top-level window of the given title, then prints the window and
// every element under it, depth first, one JSON object a line:
//   {"depth":1,"type":50004,"name":"Degrees in Celsius","focusable":true,"focused":false,
//    "readOnly":true,"labeledBy":"Degrees in Celsius"}
// "type" is the UIA control type (50004 an edit, 50000 a button, 50032 a window); "readOnly"
// is null for an element without a value, "labeledBy" null for one without a label.
//
// Properties are read with GetCurrentPropertyValueEx and the tree is walked with a walker on a
// true condition, the calls that every UI Automation client has (Wine's too).
//   uia_tree.exe TITLE

// clang-format off: <windows.h> comes before every other Windows header
#include <windows.h>
// clang-format on

#include <cstdio>
#include <string>
#include <uiautomation.h>

namespace {

constexpr DWORD kWaitMs = 20000;

std::string utf8(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.pop_back(); // the terminating NUL
    return result;
}

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            result += escaped;
        } else {
            result += c;
        }
    }
    return result + '"';
}

// A property's value as JSON: a string, a number, true or false; null when the element has none.
std::string property(IUIAutomationElement* element, PROPERTYID id) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(element->GetCurrentPropertyValueEx(id, TRUE, &value))) {
        return "null";
    }
    std::string json = "null";
    if (value.vt == VT_BSTR) {
        json = quoted(utf8(value.bstrVal));
    } else if (value.vt == VT_I4) {
        json = std::to_string(value.lVal);
    } else if (value.vt == VT_BOOL) {
        json = value.boolVal != VARIANT_FALSE ? "true" : "false";
    } else if (value.vt == VT_UNKNOWN && value.punkVal != nullptr) {
        // An element, as LabeledBy gives: its name.
        IUIAutomationElement* other = nullptr;
        if (SUCCEEDED(value.punkVal->QueryInterface(__uuidof(IUIAutomationElement),
                                                    reinterpret_cast<void**>(&other)))) {
            json = property(other, UIA_NamePropertyId);
            other->Release();
        }
    }
    VariantClear(&value);
    return json;
}

void print(IUIAutomationTreeWalker* walker, IUIAutomationElement* element, int depth) {
    std::printf("{\"depth\":%d,\"type\":%s,\"name\":%s,\"focusable\":%s,\"focused\":%s,"
                "\"readOnly\":%s,\"labeledBy\":%s}\n",
                depth, property(element, UIA_ControlTypePropertyId).c_str(),
                property(element, UIA_NamePropertyId).c_str(),
                property(element, UIA_IsKeyboardFocusablePropertyId).c_str(),
                property(element, UIA_HasKeyboardFocusPropertyId).c_str(),
                property(element, UIA_ValueIsReadOnlyPropertyId).c_str(),
                property(element, UIA_LabeledByPropertyId).c_str());
    IUIAutomationElement* child = nullptr;
    walker->GetFirstChildElement(element, &child);
    while (child != nullptr) {
        print(walker, child, depth + 1);
        IUIAutomationElement* next = nullptr;
        walker->GetNextSiblingElement(child, &next);
        child->Release();
        child = next;
    }
}

HWND waitForWindow(const wchar_t* title) {
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    HWND window = nullptr;
    while ((window = FindWindowW(nullptr, title)) == nullptr && GetTickCount64() < deadline) {
        Sleep(100);
    }
    return window;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: uia_tree TITLE\n", stderr);
        return 2;
    }
    const HWND window = waitForWindow(argv[1]);
    if (window == nullptr) {
        std::fputs("uia_tree: no such window\n", stderr);
        return 1;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        return 1;
    }
    int status = 1;
    IUIAutomation* automation = nullptr;
    IUIAutomationElement* root = nullptr;
    IUIAutomationCondition* everything = nullptr;
    IUIAutomationTreeWalker* walker = nullptr;
    if (SUCCEEDED(CoCreateInstance(__uuidof(CUIAutomation8), nullptr, CLSCTX_INPROC_SERVER,
                                   __uuidof(IUIAutomation),
                                   reinterpret_cast<void**>(&automation))) &&
        SUCCEEDED(automation->ElementFromHandle(window, &root)) &&
        SUCCEEDED(automation->CreateTrueCondition(&everything)) &&
        SUCCEEDED(automation->CreateTreeWalker(everything, &walker))) {
        print(walker, root, 0);
        status = 0;
    } else {
        std::fputs("uia_tree: UI Automation gave no tree\n", stderr);
    }
    for (IUnknown* object : {static_cast<IUnknown*>(walker), static_cast<IUnknown*>(everything),
                             static_cast<IUnknown*>(root), static_cast<IUnknown*>(automation)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    CoUninitialize();
    std::fflush(stdout);
    return status;
}
