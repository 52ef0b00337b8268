// TForm1 : annulation et rétablissement.
#include "editor/principale.h"

void TForm1::MemoriserEtape(const QString &description)
{
    Q_UNUSED(description);
}
