#include "ui/toolkit/ui_script.h"

namespace {
UiScript* installedScript = nullptr;
}

void SetUiScript(UiScript* script) {
    installedScript = script;
}

UiScript* CurrentUiScript() {
    return installedScript;
}
