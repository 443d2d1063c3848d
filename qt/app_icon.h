// The application's icon, shared by the main window and the dialogs that show it.
#pragma once

#include <QIcon>

// Every PNG size the build rendered from resources/icons/sortie.svg and embedded under
// :/sortie/icons; the desktop theme's icon of that name when the build embedded none.
QIcon qt_AppIcon();
