// En una pantalla de densidad doble el almacén dibuja cada dibujo al doble
// de píxeles reales, con el mismo tamaño lógico, para que se vea nítido.

#include "Muestras.h"

#include "pictures/GRAFICOS.h"

#include <QApplication>
#include <QTest>

using namespace Muestras;

class PruebaDensidadDoble : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

  void todosADensidadDoble() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    QList<const QPixmap*> todos{&g.Gaceptar, &g.Gcancelar, &g.FondoInicio,
                                &g.Consejo,  &g.Eliminar,  &g.Impresora};
    for (const auto* serie : {&g.GRFLINEA, &g.GRFLINEAm, &g.GRFLINEAp})
      for (const QPixmap& pm : *serie)
        todos << &pm;
    for (const QPixmap& pm : g.CarasMenu)
      todos << &pm;
    for (const QPixmap& pm : g.IMGHEXAGR)
      todos << &pm;
    for (const QPixmap& pm : g.CarasInterpretar)
      todos << &pm;
    for (const QPixmap& pm : g.grfmoneda)
      todos << &pm;
    for (const QPixmap& pm : g.GRFarrojarParar)
      todos << &pm;
    for (const QPixmap* pm : todos) {
      QCOMPARE(pm->devicePixelRatio(), 2.0);
      QCOMPARE(pm->size(), (pm->deviceIndependentSize() * 2).toSize());
    }
    QCOMPARE(g.GRFLINEA[0].size(), QSize(344, 62));
    QCOMPARE(g.CarasMenu[7].size(), QSize(66, 70));
    QCOMPARE(g.Consejo.size(), QSize(1280, 960));
    for (const QPixmap* pm : {&g.CarasMenu[3], &g.Consejo, &g.IMGHEXAGR[1]})
      QVERIFY(!SoloBloquesDeDos(pm->toImage()));
  }

  void lineasLegibles() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    for (int k = 0; k < 4; ++k) {
      const auto i = static_cast<size_t>(k);
      ComprobarLinea(g.GRFLINEA[i], k);
      ComprobarLinea(g.GRFLINEAm[i], k);
      ComprobarLinea(g.GRFLINEAp[i], k);
    }
  }
};

int main(int argc, char** argv) {
  // La escala se fija antes de crear la aplicación, como lo haría el sistema.
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  PruebaDensidadDoble prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_dibujos_hidpi.moc"
