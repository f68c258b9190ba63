#pragma once

class QWidget;

namespace orvex {

// Keeps a top-level window out of the taskbar and the pager (skip) or lets it back in,
// without re-creating it. Does nothing off X11.
void setSkipTaskbar(QWidget& window, bool skip);

}  // namespace orvex
