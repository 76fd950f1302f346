-- =============================================================================
-- Kapred: base de tablas del sistema (Si010000.mdb)
--
-- Base de referencia que se distribuye junto con el programa. Contiene:
--   * el mensaje de bienvenida que se muestra al iniciar (T_MsConfig),
--   * las secuencias de presentación: original y rectificativas (T_SECUENCIAS),
--   * las alícuotas y topes de la contribución especial sobre el capital de
--     las cooperativas, para el primer ejercicio económico
--     (T_ALICUOTAS_Y_TOPES) y para los siguientes (T_ALICUOTAS_Y_TOPES_2),
--   * el porcentaje deducible de las remuneraciones abonadas a personal
--     discapacitado, Ley 23427 art. 23 (T_DEDUC_DISCAPACITADO),
--   * los formatos de importación y exportación de archivos de ancho fijo
--     (tablas Importacion_*), con los formatos estándar ya cargados.
--
-- Las tablas con vigencia (VigenciaDesde / VigenciaHasta) cubren, sin huecos
-- ni superposiciones, todas las fechas de inicio de ejercicio que el programa
-- acepta: desde el 15/10/1985 hasta el 31/12/2099. Cada fecha cae en una sola
-- fila, que es la que se aplica a la declaración.
--
-- Convenciones: fechas en texto 'AAAA-MM-DD', importes con CCur(), lógicos
-- 1 (verdadero) y 0 (falso). Las alícuotas se guardan como porcentaje
-- (2.0 significa 2 %).
-- =============================================================================


-- -----------------------------------------------------------------------------
-- T_MsConfig: mensaje de bienvenida.
-- Una sola fila. Activo pasa a 0 cuando el usuario marca "No mostrar esta
-- ventana cada vez que inicia el sistema". Desde entonces no se vuelve a
-- mostrar.
-- -----------------------------------------------------------------------------
CREATE TABLE T_MsConfig (
    NombreAplicativo TEXT(50),
    Mensaje          MEMO,
    Activo           BOOLEAN
);

INSERT INTO T_MsConfig (NombreAplicativo, Mensaje, Activo) VALUES (
    'Kapred',
    '¡Bienvenido a Kapred! Con este programa su cooperativa prepara la '
    || 'declaración jurada de la Contribución Especial sobre el Capital de las '
    || 'Cooperativas (formulario 369). Cargue el encabezado de la declaración, '
    || 'complete cada sección del árbol (activo, pasivo, deducciones, anticipos, '
    || 'pagos a cuenta y saldo a favor), revise la liquidación y la '
    || 'determinación y, por último, genere el archivo para presentarlo ante '
    || 'Rexa. Le recomendamos hacer copias de seguridad de sus datos con '
    || 'regularidad.',
    1
);


-- -----------------------------------------------------------------------------
-- T_SECUENCIAS: secuencia de presentación de una declaración.
-- 0 es la declaración original. 1 en adelante, las rectificativas sucesivas.
-- El código forma parte de la clave de la declaración (período seguido de la
-- secuencia: 2004 y 1 dan 20041). Se ofrecen los códigos de un dígito porque
-- la ventana de copia describe la secuencia por su último dígito ("Original"
-- o "Rectificativa" y ese dígito).
-- -----------------------------------------------------------------------------
CREATE TABLE T_SECUENCIAS (
    CODIGO_T_SECUENCIAS LONG NOT NULL,
    DESCRIPCION         TEXT(50)
);

CREATE UNIQUE INDEX "T_SECUENCIAS:PrimaryKey" ON T_SECUENCIAS (CODIGO_T_SECUENCIAS);

INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (0, 'Original');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (1, 'Rectificativa 1');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (2, 'Rectificativa 2');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (3, 'Rectificativa 3');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (4, 'Rectificativa 4');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (5, 'Rectificativa 5');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (6, 'Rectificativa 6');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (7, 'Rectificativa 7');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (8, 'Rectificativa 8');
INSERT INTO T_SECUENCIAS (CODIGO_T_SECUENCIAS, DESCRIPCION) VALUES (9, 'Rectificativa 9');


-- -----------------------------------------------------------------------------
-- T_ALICUOTAS_Y_TOPES: alícuota y tope de la contribución especial para las
-- cooperativas en su primer ejercicio económico.
--   alicuota    porcentaje que se aplica al capital cooperativo imponible
--   TopeEnPesos importe mínimo: si la contribución calculada no lo alcanza,
--               no se ingresa contribución alguna
-- Se elige la fila cuya vigencia contiene la fecha de inicio del ejercicio.
--
-- VALORES DE DEMOSTRACIÓN: alícuotas, topes y cortes de vigencia deben
-- reemplazarse por la tabla oficial que publique Rexa.
-- -----------------------------------------------------------------------------
CREATE TABLE T_ALICUOTAS_Y_TOPES (
    CODIGO_T_ALICUOTAS_Y_TOPES LONG NOT NULL,
    VigenciaDesde              DATETIME NOT NULL,
    VigenciaHasta              DATETIME NOT NULL,
    alicuota                   DOUBLE,
    TopeEnPesos                CURRENCY
);

CREATE UNIQUE INDEX "T_ALICUOTAS_Y_TOPES:PrimaryKey"
    ON T_ALICUOTAS_Y_TOPES (CODIGO_T_ALICUOTAS_Y_TOPES);

-- Ejercicios que comienzan en la época del austral.
INSERT INTO T_ALICUOTAS_Y_TOPES
    (CODIGO_T_ALICUOTAS_Y_TOPES, VigenciaDesde, VigenciaHasta, alicuota, TopeEnPesos)
    VALUES (1, '1985-10-15', '1991-12-31', 2.0, CCur(100.00));
-- Ejercicios que comienzan desde la vuelta al peso, sin fecha de cierre.
INSERT INTO T_ALICUOTAS_Y_TOPES
    (CODIGO_T_ALICUOTAS_Y_TOPES, VigenciaDesde, VigenciaHasta, alicuota, TopeEnPesos)
    VALUES (2, '1992-01-01', '2099-12-31', 2.0, CCur(1000.00));


-- -----------------------------------------------------------------------------
-- T_ALICUOTAS_Y_TOPES_2: igual que la anterior, para las cooperativas en su
-- segundo ejercicio económico o posteriores.
--
-- VALORES DE DEMOSTRACIÓN: deben reemplazarse por la tabla oficial que
-- publique Rexa.
-- -----------------------------------------------------------------------------
CREATE TABLE T_ALICUOTAS_Y_TOPES_2 (
    CODIGO_T_ALICUOTAS_Y_TOPES_2 LONG NOT NULL,
    VigenciaDesde                DATETIME NOT NULL,
    VigenciaHasta                DATETIME NOT NULL,
    alicuota                     DOUBLE,
    TopeEnPesos                  CURRENCY
);

CREATE UNIQUE INDEX "T_ALICUOTAS_Y_TOPES_2:PrimaryKey"
    ON T_ALICUOTAS_Y_TOPES_2 (CODIGO_T_ALICUOTAS_Y_TOPES_2);

INSERT INTO T_ALICUOTAS_Y_TOPES_2
    (CODIGO_T_ALICUOTAS_Y_TOPES_2, VigenciaDesde, VigenciaHasta, alicuota, TopeEnPesos)
    VALUES (1, '1985-10-15', '1991-12-31', 2.0, CCur(200.00));
INSERT INTO T_ALICUOTAS_Y_TOPES_2
    (CODIGO_T_ALICUOTAS_Y_TOPES_2, VigenciaDesde, VigenciaHasta, alicuota, TopeEnPesos)
    VALUES (2, '1992-01-01', '2099-12-31', 2.0, CCur(2000.00));


-- -----------------------------------------------------------------------------
-- T_DEDUC_DISCAPACITADO: porcentaje de las remuneraciones abonadas a personal
-- discapacitado (Ley 23427, art. 23) que se deduce del capital al cierre.
-- alicuota es un porcentaje: 70 significa que se deduce el 70 % de esas
-- remuneraciones.
--
-- VALOR DE DEMOSTRACIÓN: debe reemplazarse por la tabla oficial que publique
-- Rexa.
-- -----------------------------------------------------------------------------
CREATE TABLE T_DEDUC_DISCAPACITADO (
    CODIGO_T_DEDUC_DISCAPACITADO LONG NOT NULL,
    VigenciaDesde                DATETIME NOT NULL,
    VigenciaHasta                DATETIME NOT NULL,
    alicuota                     DOUBLE
);

CREATE UNIQUE INDEX "T_DEDUC_DISCAPACITADO:PrimaryKey"
    ON T_DEDUC_DISCAPACITADO (CODIGO_T_DEDUC_DISCAPACITADO);

INSERT INTO T_DEDUC_DISCAPACITADO
    (CODIGO_T_DEDUC_DISCAPACITADO, VigenciaDesde, VigenciaHasta, alicuota)
    VALUES (1, '1985-10-15', '2099-12-31', 70.0);


-- =============================================================================
-- Formatos de importación y exportación
--
-- Un formato describe un archivo de texto de registros de ancho fijo: para
-- cada campo de una sección, la columna donde empieza (Desde) y donde termina
-- (Hasta), contadas desde 1. Cada línea del archivo es una fila de la sección
-- de la declaración abierta. CUIT y código de declaración no viajan en el
-- archivo.
--
-- Anchos de los formatos estándar, según el tipo de campo:
--   importe        15  signo ('-' o '0'), 11 enteros, coma decimal y 2
--                      decimales, completado con ceros a la izquierda
--                      (ejemplo: 000000001234,50 y -00000001234,50)
--   fecha          10  DD/MM/AAAA
--   número entero   1  marcas 0 (no) / 1 (sí)
-- =============================================================================


-- -----------------------------------------------------------------------------
-- Importacion_CodigoTabla: secciones que se pueden importar.
-- Nombre_Tabla es el nombre de la entidad de la sección: con él se crea el
-- objeto que valida y guarda cada fila importada.
-- -----------------------------------------------------------------------------
CREATE TABLE Importacion_CodigoTabla (
    Codigo_Tabla LONG NOT NULL,
    Nombre_Tabla TEXT(50) NOT NULL
);

CREATE UNIQUE INDEX "Importacion_CodigoTabla:PrimaryKey"
    ON Importacion_CodigoTabla (Codigo_Tabla);

INSERT INTO Importacion_CodigoTabla (Codigo_Tabla, Nombre_Tabla) VALUES (1, 'ActivoComputable');
INSERT INTO Importacion_CodigoTabla (Codigo_Tabla, Nombre_Tabla) VALUES (2, 'Pasivo');
INSERT INTO Importacion_CodigoTabla (Codigo_Tabla, Nombre_Tabla) VALUES (3, 'Anticipos');
INSERT INTO Importacion_CodigoTabla (Codigo_Tabla, Nombre_Tabla) VALUES (4, 'PagosCuenta');
INSERT INTO Importacion_CodigoTabla (Codigo_Tabla, Nombre_Tabla) VALUES (5, 'ActivoExento');


-- -----------------------------------------------------------------------------
-- Importacion_CodigoImport: lista de secciones que ofrece la pantalla de
-- importación. Codigo_Tabla es el código de la sección y Descripcion el texto
-- que ve el usuario.
-- -----------------------------------------------------------------------------
CREATE TABLE Importacion_CodigoImport (
    Codigo_Tabla LONG NOT NULL,
    Descripcion  TEXT(50) NOT NULL
);

CREATE UNIQUE INDEX "Importacion_CodigoImport:PrimaryKey"
    ON Importacion_CodigoImport (Codigo_Tabla);

INSERT INTO Importacion_CodigoImport (Codigo_Tabla, Descripcion) VALUES (1, 'Activo Computable');
INSERT INTO Importacion_CodigoImport (Codigo_Tabla, Descripcion) VALUES (2, 'Pasivo');
INSERT INTO Importacion_CodigoImport (Codigo_Tabla, Descripcion) VALUES (3, 'Anticipos');
INSERT INTO Importacion_CodigoImport (Codigo_Tabla, Descripcion) VALUES (4, 'Pagos a Cuenta');
INSERT INTO Importacion_CodigoImport (Codigo_Tabla, Descripcion) VALUES (5, 'Activo Exento');


-- -----------------------------------------------------------------------------
-- Importacion_Campos: campos importables de cada sección, en el orden en que
-- se muestran.
--   IdCampo         único entre todas las secciones. Se numera como
--                   código de sección × 100 + orden dentro de la sección
--   codigo_import   sección a la que pertenece el campo
--   Nombre_Campo    campo de la entidad que recibe el valor
--   concepto_campo  rótulo que ve el usuario (único dentro de la sección,
--                   no lleva apóstrofos porque se usa entre comillas simples
--                   en las consultas)
--   tipo_campo      cómo se escribe al exportar: 1 importe, 2 texto,
--                   3 fecha, 4 número entero, 5 marca sí/no
--   obligatorio     el campo siempre se importa
--   LongitudP       ancho propuesto: al escribir Desde, Hasta se completa
--                   con Desde + LongitudP - 1
-- -----------------------------------------------------------------------------
CREATE TABLE Importacion_Campos (
    IdCampo        LONG NOT NULL,
    codigo_import  LONG NOT NULL,
    Nombre_Campo   TEXT(50) NOT NULL,
    concepto_campo TEXT(100) NOT NULL,
    tipo_campo     SHORT NOT NULL,
    obligatorio    BOOLEAN,
    LongitudP      SHORT
);

CREATE UNIQUE INDEX "Importacion_Campos:PrimaryKey"
    ON Importacion_Campos (IdCampo);
CREATE UNIQUE INDEX "Importacion_Campos:Concepto"
    ON Importacion_Campos (codigo_import, concepto_campo);

-- Sección 1: Activo Computable (17 importes).
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (101, 1, 'cDineroEfectivoNac',       'Dinero en efectivo en moneda nacional', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (102, 1, 'cDineroEfectivoExt',       'Dinero en efectivo en moneda extranjera', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (103, 1, 'cDepositosNac',            'Depósitos en moneda nacional', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (104, 1, 'cDepositosExt',            'Depósitos en moneda extranjera', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (105, 1, 'cCreditosNac',             'Créditos en moneda nacional', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (106, 1, 'cCreditosExt',             'Créditos en moneda extranjera', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (107, 1, 'cIntereses',               'Intereses y actualizaciones', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (108, 1, 'cTitulosPublicos',         'Títulos públicos, acciones y demás valores', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (109, 1, 'cParticipacionesCapital',  'Participaciones en el capital de sociedades', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (110, 1, 'cBienesCambio',            'Bienes de cambio', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (111, 1, 'cBienesAdquiridos',        'Bienes muebles amortizables adquiridos', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (112, 1, 'cBienesElaborados',        'Bienes muebles amortizables elaborados, fabricados o construidos', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (113, 1, 'cBienesEnCurso',           'Bienes muebles amortizables en curso de elaboración', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (114, 1, 'cInmueblesNoBienesCambio', 'Inmuebles que no son bienes de cambio', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (115, 1, 'cInmueblesActForestales',  'Inmuebles de explotaciones forestales, frutícolas o similares', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (116, 1, 'cBienesInmateriales',      'Bienes inmateriales', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (117, 1, 'cOtrosBienes',             'Otros bienes', 1, 0, 15);

-- Sección 2: Pasivo (dos marcas 0/1 y cinco importes).
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (201, 2, 'iCooperativaSegurosCapitalizacion', 'Cooperativa de Seguros de Capitalización (1 sí, 0 no)', 4, 1, 1);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (202, 2, 'iCooperativaAseguradoresVida',      'Cooperativa Aseguradores de vida de Seguros de Capitalización (1 sí, 0 no)', 4, 1, 1);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (203, 2, 'cDeudas',                           'Deudas en moneda nacional y extranjera', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (204, 2, 'cProvisiones',                      'Provisiones', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (205, 2, 'cReservasTecnicas',                 'Reservas técnicas', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (206, 2, 'cFondosBeneficioSeguroVida',        'Fondos de beneficio de seguros de vida', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (207, 2, 'cBeneficios',                       'Beneficios cobrados por adelantado a devengar en ejercicios futuros', 1, 0, 15);

-- Sección 3: Anticipos (una línea por anticipo).
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (301, 3, 'fFecha',   'Fecha del anticipo', 3, 1, 10);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (302, 3, 'cImporte', 'Importe del anticipo', 1, 1, 15);

-- Sección 4: Pagos a Cuenta (una línea por pago).
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (401, 4, 'fFecha',   'Fecha del pago a cuenta', 3, 1, 10);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (402, 4, 'cImporte', 'Importe del pago a cuenta', 1, 1, 15);

-- Sección 5: Activo Exento (tres importes).
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (501, 5, 'cBienesTierraDelFuego',    'Bienes situados en Tierra del Fuego, Antártida e Islas del Atlántico Sur', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (502, 5, 'cAccionesParticipaciones', 'Acciones y participaciones en el capital de entidades', 1, 0, 15);
INSERT INTO Importacion_Campos (IdCampo, codigo_import, Nombre_Campo, concepto_campo, tipo_campo, obligatorio, LongitudP)
    VALUES (503, 5, 'cCuotasSociales',          'Cuotas sociales de cooperativas', 1, 0, 15);


-- -----------------------------------------------------------------------------
-- Importacion_Formatos: formatos definidos, uno por fila.
--   IdFormato          1 a 4 son los formatos estándar y no se pueden editar
--                      ni eliminar. Los formatos del usuario toman el mayor
--                      IdFormato más 1.
--   nombre             único sin distinguir mayúsculas y minúsculas
--   tipo_tabla         sección que describe el formato
--   Separador_Decimal  0 punto, 1 coma
--
-- El formato 5 (Activo Exento) también viene con la base: además de dar a esa
-- sección un diseño listo para usar, hace que el primer formato que cree el
-- usuario reciba el número 6. Las posiciones de los formatos 1 a 5 no se
-- modifican desde la pantalla de configuración.
-- -----------------------------------------------------------------------------
CREATE TABLE Importacion_Formatos (
    IdFormato         LONG NOT NULL,
    nombre            TEXT(50) NOT NULL,
    tipo_tabla        LONG NOT NULL,
    Separador_Decimal SHORT
);

CREATE UNIQUE INDEX "Importacion_Formatos:PrimaryKey"
    ON Importacion_Formatos (IdFormato);
CREATE INDEX "Importacion_Formatos:tipo_tabla"
    ON Importacion_Formatos (tipo_tabla);

INSERT INTO Importacion_Formatos (IdFormato, nombre, tipo_tabla, Separador_Decimal)
    VALUES (1, 'Estándar Activo Computable', 1, 1);
INSERT INTO Importacion_Formatos (IdFormato, nombre, tipo_tabla, Separador_Decimal)
    VALUES (2, 'Estándar Pasivo', 2, 1);
INSERT INTO Importacion_Formatos (IdFormato, nombre, tipo_tabla, Separador_Decimal)
    VALUES (3, 'Estándar Anticipos', 3, 1);
INSERT INTO Importacion_Formatos (IdFormato, nombre, tipo_tabla, Separador_Decimal)
    VALUES (4, 'Estándar Pagos a Cuenta', 4, 1);
INSERT INTO Importacion_Formatos (IdFormato, nombre, tipo_tabla, Separador_Decimal)
    VALUES (5, 'Estándar Activo Exento', 5, 1);


-- -----------------------------------------------------------------------------
-- Importacion_DesdeHasta: posición de cada campo dentro de un formato.
-- Desde y Hasta son columnas del registro contadas desde 1, ambas incluidas.
-- El largo del registro es el mayor Hasta del formato. importa se muestra
-- como "Sí" en la configuración.
--
-- En los formatos estándar los campos van uno a continuación del otro desde
-- la columna 1, sin huecos ni superposiciones, en el orden de IdCampo.
-- -----------------------------------------------------------------------------
CREATE TABLE Importacion_DesdeHasta (
    IdFormato     LONG NOT NULL,
    Codigo_Import LONG NOT NULL,
    IdCampo       LONG NOT NULL,
    Desde         SHORT NOT NULL,
    Hasta         SHORT NOT NULL,
    importa       BOOLEAN
);

CREATE UNIQUE INDEX "Importacion_DesdeHasta:PrimaryKey"
    ON Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo);

-- Formato 1, Activo Computable: 17 importes de 15 posiciones, registro de 255.
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 101,   1,  15, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 102,  16,  30, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 103,  31,  45, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 104,  46,  60, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 105,  61,  75, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 106,  76,  90, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 107,  91, 105, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 108, 106, 120, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 109, 121, 135, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 110, 136, 150, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 111, 151, 165, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 112, 166, 180, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 113, 181, 195, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 114, 196, 210, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 115, 211, 225, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 116, 226, 240, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (1, 1, 117, 241, 255, 1);

-- Formato 2, Pasivo: dos marcas de 1 posición y cinco importes de 15,
-- registro de 77.
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 201,  1,  1, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 202,  2,  2, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 203,  3, 17, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 204, 18, 32, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 205, 33, 47, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 206, 48, 62, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (2, 2, 207, 63, 77, 1);

-- Formato 3, Anticipos: fecha DD/MM/AAAA e importe, registro de 25.
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (3, 3, 301,  1, 10, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (3, 3, 302, 11, 25, 1);

-- Formato 4, Pagos a Cuenta: fecha DD/MM/AAAA e importe, registro de 25.
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (4, 4, 401,  1, 10, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (4, 4, 402, 11, 25, 1);

-- Formato 5, Activo Exento: tres importes de 15, registro de 45.
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (5, 5, 501,  1, 15, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (5, 5, 502, 16, 30, 1);
INSERT INTO Importacion_DesdeHasta (IdFormato, Codigo_Import, IdCampo, Desde, Hasta, importa) VALUES (5, 5, 503, 31, 45, 1);
