#pragma once
#include <QIcon>
#include <QStringList>

namespace ccp::app {

// The command images, in the order that makes an image index a position in this list.
const QStringList &commandImageNames();
// The image at a position of the list (a null icon for -1 or out of range).
QIcon commandImage(int index);
// Any image of the program's resources by name ("NEWYEAR", "FILTERAPPLY", ...).
QIcon imageByName(const QString &name);

} // namespace ccp::app
