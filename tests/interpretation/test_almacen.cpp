// El almacén de textos: la carga de un bloque en TextBuffer y la extracción de sus textos.
#include "apoyo/Apoyo.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Codificacion.h"

namespace {
// Un almacén hecho a mano: el título (no se lee), el bloque y el comienzo del siguiente.
QByteArray almacen(const QStringList& registros) {
  QByteArray b = Win1252::codificar(u"TITULO"_s.leftJustified(80));
  for (const QString& r : registros + QStringList{u"*L1 del bloque siguiente"_s})
    b += Win1252::codificar(r.leftJustified(80, u' ', true));
  return b;
}

// Secciones de dos párrafos, el segundo de dos registros; líneas con interpretación.
QStringList bloqueCompleto() {
  QStringList b;
  for (const QString& n : {u"D"_s, u"C"_s, u"I"_s})
    b << u"*"_s + n << u"   Primero de "_s + n << u"   Segundo de "_s + n << u"sigue "_s + n;
  for (int l = 1; l <= 6; ++l)
    b << u"*L%1"_s.arg(l) << u"   Nueve en el puesto %1"_s.arg(l) << u"continúa %1"_s.arg(l)
      << u"   INTERPRETACIÓN: la %1"_s.arg(l);
  return b << u"**"_s;
}

// Carga `datos` como el bloque 1 con `lineas`; da lo que la carga contó: cada línea cambiante y "." al final.
QString cargar(const QByteArray& datos, const QString& lineas) {
  HexagramList.fill({});
  const QString p = PatronEstable(lineas);
  HexagramList[1] = {QString(), u"1"_s, p.mid(3), p.left(3), u"Prueba"_s, u"La prueba"_s, u"1"_s};
  QString informe;
  CargarBufferDe(datos, lineas, {[&](int n) { informe += QString::number(n); }, [&] { informe += u'.'; }});
  return informe;
}

// Las ranuras de TextBuffer sin blancos finales, de la 1 a la primera "**".
QStringList buffer() {
  QStringList r;
  for (int i = 1; i < RanurasTextBuffer && (r.isEmpty() || r.back() != u"**"_s); ++i)
    r << QuitarBlancosDerecha(TextBuffer[i].texto());
  return r;
}

// "enunciado|interpretación" de la línea l.
QString linea(int l) {
  const TextoLinea t = ExtraerLinea(u"L%1"_s.arg(l));
  return t.enunciado + u'|' + t.interpretacion;
}
} // namespace

class PruebaAlmacen : public QObject {
  Q_OBJECT

private slots:
  void init() {
    PrepararEstado(false);
    for (int i = 1; i < RanurasTextBuffer; ++i)
      TextBuffer[i] = u"*D resto de otra carga %1"_s.arg(i);
  }

  // Las marcas, en orden y sin huecos, lo contado a quien cargó y los textos de cada línea; cada caso
  // carga sobre lo que dejó el anterior.
  void soloLasLineasQueCambianYFicherosCortos() {
    const std::vector<std::array<QString, 3>> casos{
        {u"787878"_s, u"*D *C *I **"_s, u"."_s},
        {u"987878"_s, u"*D *C *I *L1 **"_s, u"1."_s}, // "**" sobre la marca de la 6, tras saltar 2 a 5
        {u"787876"_s, u"*D *C *I *L6 **"_s, u"6."_s}, // en la ranura de la 1, y el "**" del fichero
        {u"797799"_s, u"*D *C *I *L2 *L5 *L6 **"_s, u"256."_s},
        {u"969696"_s, u"*D *C *I *L1 *L2 *L3 *L4 *L5 *L6 **"_s, u"123456."_s}};
    for (const auto& [lineas, marcas, informe] : casos) {
      QCOMPARE(lineas + u' ' + cargar(almacen(bloqueCompleto()), lineas), lineas + u' ' + informe);
      QCOMPARE(buffer().filter(u"*"_s).join(u' '), marcas);
      QCOMPARE(buffer().size(), 4 * marcas.count(u' ') + 1);
      for (int l = 1; l <= 6; ++l)
        QCOMPARE(linea(l), EsCambiante(lineas[l - 1])
                               ? u"   Nueve en el puesto %1 continúa %1|   INTERPRETACIÓN: la %1"_s.arg(l)
                               : u"|"_s);
    }
    // Vacío, ausente o cortado: se queda con lo leído y cierra con "**", sin restos de otra carga.
    cargar(almacen(bloqueCompleto()), u"777777"_s);
    {
      CarpetaPrueba carpeta(false); // sin BINARIO.DAT: textos vacíos, sin mensaje
      bool completa = false;
      CargarBuffer(u"777777"_s, {{}, [&] { completa = true; }});
      QVERIFY(completa && buffer() == QStringList{u"**"_s} && GuionMensajes::mostrados().empty());
    }
    // A mitad de un registro de COMENTARIO, y mientras se saltan las líneas que no cambian.
    QCOMPARE(cargar(almacen(bloqueCompleto()).left(80 * 7 + 9), u"999999"_s), u"."_s);
    QCOMPARE(buffer(), bloqueCompleto().mid(0, 6) << u"   Segund"_s << u"**"_s);
    QCOMPARE(cargar(almacen(bloqueCompleto()).left(80 * 20), u"777779"_s), u"."_s);
    QCOMPARE(buffer().size(), 13);
  }

  void reglasDeUnionYDeLinea() {
    // Fuera de las líneas, lo que empieza por «interpretación» es texto como otro.
    cargar(almacen(
               u"*D|   Primer párrafo,|que sigue.|   Interpretación antigua.|*C|   |   Comentario,|"
               u"interpretación aparte.|*I|Sin sangría|   y párrafo.|*L1|   Seis al comienzo significa: "
               u"algo.|      interpretación: en minúsculas|y sigue.|*L2|   Sólo enunciado.|*L3|   No empieza "
               u"aquí,|interpretacion sin tilde tampoco.|   Interpretación: aquí sí.|**"_s.split(u'|')),
           u"999777"_s);
    // Párrafos separados por una línea en blanco; dentro de uno, un blanco entre registros.
    QCOMPARE(ExtraerSeccion(u"D"_s) + u'#' + ExtraerSeccion(u"C"_s) + u'#' + ExtraerSeccion(u"I"_s),
             u"   Primer párrafo, que sigue.\r\n\r\n   Interpretación antigua.#   Comentario, interpretación "
             "aparte.#Sin sangría\r\n\r\n   y párrafo."_s);
    QCOMPARE(
        linea(1) + u'#' + linea(2) + u'#' + linea(3),
        u"   Seis al comienzo significa: algo.|      interpretación: en minúsculas y sigue.#   Sólo "
        "enunciado.|#   No empieza aquí, interpretacion sin tilde tampoco.|   Interpretación: aquí sí."_s);
    // DECISION para también en "**", aunque detrás queden restos de otra carga.
    for (int i = 0; const QString& r : u"*D|   decisión|**|resto|*C|   viejo"_s.split(u'|'))
      TextBuffer[++i] = r;
    QCOMPARE(ExtraerSeccion(u"D"_s) + u'|' + ExtraerSeccion(u"C"_s), u"   decisión|"_s);
    // La marca de línea también en minúscula: tras saltar la 1, que no cambia, cuenta la 2.
    QStringList b = bloqueCompleto();
    b[b.indexOf(u"*L2"_s)] = u"*l2"_s;
    QCOMPARE(cargar(almacen(b), u"797777"_s), u"2."_s);
  }

  // El almacén generado, con las seis líneas cambiantes: cada bloque cabe con su "**" en 99 ranuras
  // (así se imprime entero) y cada línea abre con la fórmula de su puesto y una interpretación.
  void almacenGenerado() {
    CarpetaPrueba carpeta(true);
    PrepararEstado(true);
    const QStringList puestos = u"al comienzo|en el segundo puesto|en el tercer puesto|en el cuarto puesto|"
                                "en el quinto puesto|arriba"_s.split(u'|');
    for (int k = 1; k <= 64; ++k) {
      const QString dibujo = HexagramList[k][3] + HexagramList[k][2];
      QString lineas;
      CargarBuffer(QString(dibujo).replace(u'7', u'9').replace(u'8', u'6'),
                   {[&](int n) { lineas += QString::number(n); }, {}});
      QVERIFY2(buffer().back() == u"**"_s && buffer().size() <= 99 && lineas == u"123456"_s,
               qPrintable(u"hexagrama %1"_s.arg(k)));
      for (int l = 1; l <= 6; ++l) {
        const QString formula =
            u"   %1 %2 significa:"_s.arg(dibujo[l - 1] == u'7' ? u"Nueve"_s : u"Seis"_s, puestos[l - 1]);
        QVERIFY2(linea(l).startsWith(formula) && linea(l).contains(u"|   INTERPRETACIÓN"_s) &&
                     linea(l).count(u"INTERPRETACIÓN"_s) == 1,
                 qPrintable(u"hexagrama %1, línea %2: "_s.arg(k).arg(l) + linea(l).left(50)));
      }
    }
  }
};

QTEST_GUILESS_MAIN(PruebaAlmacen)
#include "test_almacen.moc"
