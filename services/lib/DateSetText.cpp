#include "services/lib/Consiste.h"

#include "services/data/NumberFormat.h"
#include "services/data/TField.h"

void DateSetText(TField& field, std::string_view text) {
    if (EmptyString(text)) {
        field.Clear();
        return;
    }
    double days = 0;
    if (!TryParseDate(text, days))
        MensErro("Data inválida: " + std::string(text) + ". Informe a data como dd/mm/aaaa.");
    field.SetAsDateTime(days);
}
