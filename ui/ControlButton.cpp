#include "ui/ControlButton.h"

namespace morvik {

template class BasicControlButton<QPushButton>;
template class BasicControlButton<QCheckBox>;

} // namespace morvik
