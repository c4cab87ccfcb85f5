// The driver started again as another program's clipboard viewer (--clipboard-viewer): it joins
// the chain and passes every notification on until it is killed.
#pragma once

namespace e2e {

int RunClipboardViewerProcess();

}  // namespace e2e
