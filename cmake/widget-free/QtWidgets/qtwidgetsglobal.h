// Every QtWidgets header includes this one first. The widget-free libraries
// (the component core, the project library) find this copy before Qt's, so
// a widget header reached there by any path (<QWidget>, <QtWidgets/QWidget>,
// through another header) stops the build.
#error "This library is widget-free: move this code to the library of windows above it (component widgets, application)"
