// Grids show their dataset through the display formats and the screen's cell styles, and what
// the operator types reaches the field through its set-text handler.

#include "QtFixture.h"
#include "TestForms.h"
#include "qt/GridModel.h"
#include "qt/GridView.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/data/TField.h"
#include "services/ui/TDBGrid.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>

#include <string>
#include <vector>

namespace {

// Three branches; 0002 is effected ("E"), the check column marks 0001.
class GridForm : public TForm {
public:
    GridForm() : TForm(nullptr) {
        SetName("frmGrid");
        SetBounds(0, 0, 520, 220);
        cds.AddField("IDCHECK", FieldType::String, 1);
        cds.AddField("CDFILIAL", FieldType::String, 4);
        cds.AddField("IDSTATUSORCA", FieldType::String, 1);
        cds.AddField("VRORCAMENTOJAN", FieldType::Float).SetDisplayFormat("#,##0.00");
        cds.CreateDataSet();
        addRow("S", "0001", "N", 1234567.891);
        addRow("N", "0002", "E", -1234.5);
        addRow("N", "0003", "N", 0);
        cds.First();
        dts.SetDataSet(&cds);
        grid = place<TDBGrid>(this, this, "dbgItens", 0, 0, 520, 220, alClient);
        grid->SetDataSource(&dts);
        grid->AddColumn("IDCHECK", "", 20).SetTitleSymbolFont(true);
        grid->AddColumn("CDFILIAL", "Filial", 50);
        grid->AddColumn("VRORCAMENTOJAN", "JAN", 60);
        grid->OnDrawColumnCell = [](TObject*, const TGridDrawCell& cell, TCellStyle& style) {
            if (cell.Text("IDSTATUSORCA") == "E") style.textColor = clGray;
            if (cell.Column().FieldName() == "IDCHECK")
                style.picture =
                    cell.Text("IDCHECK") == "S" ? TCheckPicture::Checked : TCheckPicture::Unchecked;
        };
    }
    void addRow(const char* check, const char* branch, const char* status, double value) {
        cds.Append();
        cds.FieldByName("IDCHECK").SetAsString(check);
        cds.FieldByName("CDFILIAL").SetAsString(branch);
        cds.FieldByName("IDSTATUSORCA").SetAsString(status);
        cds.FieldByName("VRORCAMENTOJAN").SetAsFloat(value);
        cds.Post();
    }
    TClientDataSet cds{"cdsItens"};
    TDataSource dts{"dtsItens"};
    TDBGrid* grid;
};

class QtGrid : public QtFixture {
protected:
    GridModel* modelOf(GridForm& form) {
        return dynamic_cast<GridView*>(platform.viewOf(form)->viewOf(form.grid))->model();
    }
    std::string shown(GridForm& form) {
        GridModel* model = modelOf(form);
        std::string out;
        for (int r = 0; r < model->rowCount(); ++r) {
            for (int c = 0; c < model->columnCount(); ++c) {
                const auto picture = static_cast<TCheckPicture>(
                    model->index(r, c).data(GridModel::PictureRole).toInt());
                if (picture != TCheckPicture::None)
                    out += picture == TCheckPicture::Checked ? "[x]" : "[ ]";
                else
                    out += fromQt(model->index(r, c).data().toString());
                out += c + 1 < model->columnCount() ? "|" : "\n";
            }
        }
        return out;
    }
};

TEST_F(QtGrid, GivenAmountsAndCheckColumns_WhenShown_ThenFormatsAndPicturesComeFromTheGrid) {
    GridForm form;
    show(form);
    EXPECT_EQ(shown(form), "[x]|0001|1.234.567,89\n[ ]|0002|-1.234,50\n[ ]|0003|0,00\n");
    GridModel* model = modelOf(form);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("✓"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("JAN"));
    EXPECT_EQ(model->index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(128, 128, 128));
    EXPECT_NE(model->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(128, 128, 128));
    EXPECT_TRUE(model->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    // A number field that asks to be left-aligned (a month number shown by its name) is.
    form.cds.FieldByName("VRORCAMENTOJAN").SetAlignment(taLeftJustify);
    EXPECT_TRUE(model->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
}

TEST_F(QtGrid, GivenAmountColumns_WhenShown_ThenTheLargestAmountFitsUnclipped) {
    GridForm form;
    show(form);
    auto* table = widget<QTableView>(form, "dbgItens");
    const int needed = table->fontMetrics().horizontalAdvance(QStringLiteral("999.999.999,99"));
    EXPECT_GT(table->columnWidth(2), needed);
}

TEST_F(QtGrid, GivenDataChanges_WhenRowsComeAndGo_ThenTheTableFollows) {
    GridForm form;
    show(form);
    form.addRow("N", "0004", "N", 7);
    EXPECT_EQ(modelOf(form)->rowCount(), 4);
    form.cds.SetFilter("CDFILIAL = '0002'");
    form.cds.SetFiltered(true);
    EXPECT_EQ(shown(form), "[ ]|0002|-1.234,50\n");
}

TEST_F(QtGrid, GivenACellTyped_WhenTheOperatorPressesEnter_ThenTheFieldGetsItThroughSetText) {
    GridForm form;
    std::string received;
    TField& jan = form.cds.FieldByName("VRORCAMENTOJAN");
    jan.OnSetText = [&](TField& field, const std::string& text) {
        received = text;
        field.SetAsFloat(text == "12,5" ? 12.5 : -1);
    };
    show(form);
    auto* table = widget<QTableView>(form, "dbgItens");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(modelOf(form)->index(2, 2)).center());
    EXPECT_EQ(form.cds.FieldByName("CDFILIAL").AsString(), "0003");
    EXPECT_EQ(form.grid->SelectedIndex(), 2);
    QTest::keyClicks(table, "12,5");
    EXPECT_EQ(form.grid->EditorText(), "12,5");
    EXPECT_EQ(modelOf(form)->index(2, 2).data().toString(),
              QStringLiteral("12,5")); // the editor shows it
    EXPECT_EQ(received, "");
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(received, "12,5");
    EXPECT_DOUBLE_EQ(jan.AsFloat(), 12.5);
}

TEST_F(QtGrid, GivenAKeyDroppedByTheGrid_WhenTyped_ThenTheEditorNeverShowsIt) {
    GridForm form;
    form.grid->OnKeyPress = [](TObject*, TKeyChar& key) {
        if (!(key >= U'0' && key <= U'9') && key != U',') key = 0;
    };
    show(form);
    auto* table = widget<QTableView>(form, "dbgItens");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(modelOf(form)->index(0, 2)).center());
    QTest::keyClicks(table, "4x2");
    EXPECT_EQ(form.grid->EditorText(), "42");
}

TEST_F(QtGrid, GivenClicksOnCellsAndTitles_WhenTheOperatorClicks_ThenTheGridsEventsRunInOrder) {
    GridForm form;
    std::string events;
    form.grid->OnCellClick = [&](TColumn* column) {
        events += "cell " + column->FieldName() + "; ";
    };
    form.grid->OnDblClick = [&](TObject*) { events += "double; "; };
    form.grid->OnTitleClick = [&](TColumn* column) {
        events += "title " + column->FieldName() + "; ";
    };
    show(form);
    auto* table = widget<QTableView>(form, "dbgItens");
    const QPoint cell = table->visualRect(modelOf(form)->index(1, 1)).center();
    // A double click is a click followed by the double-click event.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    EXPECT_EQ(events, "cell CDFILIAL; double; title VRORCAMENTOJAN; ");
    EXPECT_EQ(form.cds.FieldByName("CDFILIAL").AsString(), "0002");
}

} // namespace

namespace {

// Qt's model checker reports through warnings; they are collected here.
std::vector<std::string> g_modelWarnings;

void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) g_modelWarnings.push_back(fromQt(message));
}

} // namespace

TEST_F(QtGrid, GivenTheModelChecker_WhenRowsColumnsAndTheCursorChange_ThenTheModelKeepsItsRules) {
    GridForm form;
    show(form);
    g_modelWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
    {
        QAbstractItemModelTester tester(modelOf(form),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        form.addRow("N", "0004", "N", 7);
        form.cds.Next();
        form.cds.SetFilter("CDFILIAL = '0002'");
        form.cds.SetFiltered(true);
        form.grid->Column(2)->SetVisible(false);
        form.cds.SetFiltered(false);
        form.cds.Last();
        form.cds.Delete();
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_modelWarnings, std::vector<std::string>{});
    EXPECT_EQ(shown(form), "[x]|0001\n[ ]|0002\n[ ]|0003\n");
}

TEST_F(QtGrid, GivenAShownGrid_WhenItIsDrawn_ThenTheCellStyleIsAskedOncePerCell) {
    GridForm form;
    int styleCalls = 0;
    auto style = form.grid->OnDrawColumnCell;
    form.grid->OnDrawColumnCell = [&](TObject* sender, const TGridDrawCell& cell,
                                      TCellStyle& cellStyle) {
        ++styleCalls;
        style(sender, cell, cellStyle);
    };
    show(form);
    auto* table = widget<QTableView>(form, "dbgItens");
    styleCalls = 0;
    const QPixmap picture = table->viewport()->grab();
    EXPECT_FALSE(picture.isNull());
    EXPECT_EQ(styleCalls, 3 * 3);
}

TEST_F(QtGrid, GivenTheCursorMoves_WhenTheModelSignals_ThenOnlyTheRowsLeftAndReachedChange) {
    GridForm form;
    form.addRow("N", "0004", "N", 7);
    form.cds.First();
    show(form);
    QSignalSpy changes(modelOf(form), &QAbstractItemModel::dataChanged);
    form.cds.Next();
    std::string rows;
    for (const QList<QVariant>& signal : changes)
        rows += std::to_string(signal[0].toModelIndex().row()) + "-" +
                std::to_string(signal[1].toModelIndex().row()) + " ";
    EXPECT_EQ(rows, "0-0 1-1 ");
}
