// Every QtWidgets header includes this one first. The widget-free project
// library finds this copy before Qt's, so a widget header reached there by
// any path (<QWidget>, <QtWidgets/QWidget>, through another header) stops the
// build.
#error "The project library is widget-free: move this code to the application library"
