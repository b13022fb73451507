#pragma once
// Symbol export for the panelkit shared library (built with hidden
// visibility, so only what carries PANELKIT_EXPORT is reachable).

#include <QtGlobal>

#if defined(PANELKIT_BUILDING)
#define PANELKIT_EXPORT Q_DECL_EXPORT
#else
#define PANELKIT_EXPORT Q_DECL_IMPORT
#endif
