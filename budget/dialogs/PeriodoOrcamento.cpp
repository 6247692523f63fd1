#include "budget/dialogs/PeriodoOrcamento.h"

#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/TMessages.h"
#include "services/ui/TDateEditPlus.h"

namespace {

[[noreturn]] void recusa(const TMessages& msg, TDateEditPlus* edit, const char* key) {
    edit->SetFocus();
    MensErro(msg.Msg(key), false);
    Abort();
}

bool foraDoPeriodo(double date, double dataIni, double dataFin) {
    return date < dataIni || date >= dataFin;
}

} // namespace

void ValidaPeriodo(const TMessages& msg, TDateEditPlus* inicio, TDateEditPlus* fim, double dataIni,
                   double dataFin) {
    const double de = inicio->GetDate(), ate = fim->GetDate();
    if (de == 0) recusa(msg, inicio, "DateIni_Inf");
    if (ate == 0) recusa(msg, fim, "DateFin_Inf");
    if (de > ate) recusa(msg, inicio, "DateFin<DateIni");
    if (foraDoPeriodo(de, dataIni, dataFin)) recusa(msg, inicio, "DateIni_NPer");
    if (foraDoPeriodo(ate, dataIni, dataFin)) recusa(msg, fim, "DateFin_NPer");
}
