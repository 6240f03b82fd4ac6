#include "shell/FRM256.h"

#include "pictures/Dibujos.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Estilo.h"

#include <QTimer>

#include <algorithm>

FRM256::FRM256(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("KORVAL"));
  TamanoTwips(6165, 3600);
  ColorFondo(Estilo::Negro);

  paninfo = new QLabel(this);
  paninfo->hide();

  paninfo2 = new SSPanel(this);
  Colocar(paninfo2, 30, 30, 6105, 1935);
  paninfo2->hide();
  texto = new QLabel(paninfo2);
  texto->setWordWrap(true);
  texto->setAlignment(Qt::AlignCenter);
  texto->setText(QStringLiteral("KORVAL " KORVAL_VERSION " consulta el libro de los cambios: escriba una "
                                "pregunta, eche las monedas y lea su hexagrama. Está pensado para el tamaño "
                                "con que abre sus ventanas. La ayuda, en el botón AYUDA del menú."));
  // Con paleta y letra, no con hoja de estilo: la hoja cuesta más que la
  // ventana entera, y esta es la primera que se ve.
  {
    QPalette p = texto->palette();
    p.setColor(QPalette::WindowText, Estilo::OroClaro);
    texto->setPalette(p);
    QFont f = texto->font();
    f.setBold(true);
    texto->setFont(f);
  }
  Colocar(texto, 120, 90, 5865, 1080);

  for (int i = 0; i < 2; ++i) {
    BTNAUX[size_t(i)] = new BotonImagen(paninfo2);
    connect(BTNAUX[size_t(i)], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });
  }
  Colocar(BTNAUX[0], 1860, 1230, 1185, 525);
  Colocar(BTNAUX[1], 3120, 1230, 1185, 525);
  BTNAUX[0]->setToolTipText(QStringLiteral("Aceptar"));
  BTNAUX[1]->setToolTipText(QStringLiteral("Cancelar"));
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);
  Form_Load();
}

void FRM256::Form_Load() {
  // Los dibujos de los botones y del aviso llegan al revelarlo (Revelar):
  // hasta entonces no se ven, y dibujarlos aquí retrasaría la primera ventana.
  paninfo->setAlignment(Qt::AlignCenter);
  WaitTicks(500);
}

void FRM256::Form_Activate() {
  // Los botones sólo responden cuando el aviso está entero a la vista.
  setEnabled(false);
  centrarform();
  paninfo->setGeometry(0, 0, width(), height());
  // Las pausas corren con la ventana ya en la pantalla: aquí aún no ha
  // salido, y esperar ahora sólo retrasaría que aparezca.
  QTimer::singleShot(0, this, [this] { Revelar(); });
}

void FRM256::Revelar() {
  if (!isVisible())
    return;
  // La ventana sale negra; los dibujos se hacen durante la primera pausa.
  WaitTicks(500);
  const GRAFICOS& g = GRAFICOS::Instancia();
  setWindowIcon(g.Icono);
  BTNAUX[0]->setPicture(g.Gaceptar);
  BTNAUX[1]->setPicture(g.Gcancelar);
  // El dibujo llena la ventana sin deformarse: se reduce y se recorta
  // alrededor del centro de su rueda, no del dibujo, para que los rótulos de
  // arriba y de abajo («Cielo», «Tierra») se lean enteros.
  const qreal dpr = g.Consejo.devicePixelRatio();
  const QSize destino = size() * dpr;
  const QPixmap reducido =
      g.Consejo.scaled(destino, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
  const qreal escala = qreal(reducido.height()) / g.Consejo.height();
  const int arriba = std::clamp(qRound(Dibujos::CentroConsejo.y() * dpr * escala - destino.height() / 2.0), 0,
                                reducido.height() - destino.height());
  QPixmap ajustado =
      reducido.copy((reducido.width() - destino.width()) / 2, arriba, destino.width(), destino.height());
  ajustado.setDevicePixelRatio(dpr);
  paninfo->setPixmap(ajustado);
  paninfo2->move((width() - paninfo2->width()) / 2, (height() - paninfo2->height()) / 2);
  paninfo2->repaint();
  WaitTicks(100);
  paninfo->setVisible(true);
  paninfo2->setVisible(true);
  paninfo2->raise();
  WaitTicks(50);
  setEnabled(true);
  BTNAUX[0]->setFocus();
  if (RespuestaAutomatica)
    QTimer::singleShot(0, this, [this] { BTNAUX_Click(*RespuestaAutomatica); });
}

void FRM256::BTNAUX_Click(int Index) {
  if (Index == 1) {
    terminar_ = true;
    Ocultar();
    return;
  }
  Ocultar();
  WaitTicks(50);
}
