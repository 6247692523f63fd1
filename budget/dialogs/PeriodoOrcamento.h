#pragma once

class TDateEditPlus;
class TMessages;

// The date range check both period dialogs share: both dates typed, in order, and each inside
// the budget version's period [dataIni, dataFin). A failure focuses the offending box and ends
// the operation with the catalog's text of "DateIni_Inf", "DateFin_Inf", "DateFin<DateIni",
// "DateIni_NPer" or "DateFin_NPer".
void ValidaPeriodo(const TMessages& msg, TDateEditPlus* inicio, TDateEditPlus* fim, double dataIni,
                   double dataFin);
