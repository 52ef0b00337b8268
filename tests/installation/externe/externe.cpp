// Se lie à libhmmgraph installée et appelle une de ses fonctions.
#include <hmmgraph/hmm.h>
#include <hmmgraph/nombres.h>

#include <cstdio>

int main()
{
    Nombres::DefinirSeparateur(QChar('.'));
    std::puts(Nombres::Formater(0.1915L).toUtf8().constData());
    return 0;
}
