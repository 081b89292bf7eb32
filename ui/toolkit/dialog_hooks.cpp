#include "ui/toolkit/dialog_hooks.h"

namespace {
DialogHooks* installedHooks = nullptr;
}

void SetDialogHooks(DialogHooks* hooks) {
    installedHooks = hooks;
}

DialogHooks* CurrentDialogHooks() {
    return installedHooks;
}
