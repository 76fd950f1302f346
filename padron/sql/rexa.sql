-- =============================================================================
-- rexa.mdb: padrón de contribuyentes
--
-- Las tablas que kapred-padron crea en su primer inicio, en la carpeta padre
-- del directorio del programa. Kapred solo las lee: razón social, actividad
-- principal, mes de cierre, forma jurídica, domicilio fiscal y responsables
-- sustitutos de cada contribuyente.
--
-- Los contribuyentes se identifican por su CUIT escrito con guiones
-- ('30-71234567-1') y se relacionan entre tablas por ncontrib, el número
-- interno que les asigna el padrón.
--
-- Los códigos de provincia, tipo de barrio, país y forma jurídica remiten a
-- las tablas de sistema.mdb.
-- =============================================================================


-- -----------------------------------------------------------------------------
-- contribs: un contribuyente por fila.
--   cuit            CUIT con guiones: dos dígitos, guion, ocho dígitos,
--                   guion, dígito verificador
--   ncontrib        número interno del contribuyente
--   descrip         razón social
--   mescierreejcom  mes (1 a 12) en que cierra el ejercicio comercial
--   empProm         empresa promovida
--   formaJuridica   código de la forma jurídica (formajuridica de
--                   sistema.mdb, donde se guarda con tres dígitos: 7 es '007')
-- -----------------------------------------------------------------------------
CREATE TABLE contribs (
    ncontrib       LONG NOT NULL,
    cuit           TEXT(13) NOT NULL,
    descrip        TEXT(100),
    mescierreejcom SHORT,
    empProm        BOOLEAN,
    formaJuridica  SHORT
);

CREATE UNIQUE INDEX "contribs:PrimaryKey" ON contribs (ncontrib);
CREATE UNIQUE INDEX "contribs:cuit" ON contribs (cuit);


-- -----------------------------------------------------------------------------
-- actcontrib: actividades de cada contribuyente.
--   tipoAct  'Principal' para la actividad principal (una por contribuyente),
--            'Secundaria' para las demás
--   CodAct   código de actividad (códigos de demostración)
-- -----------------------------------------------------------------------------
CREATE TABLE actcontrib (
    ncontrib LONG NOT NULL,
    CodAct   TEXT(6) NOT NULL,
    tipoAct  TEXT(20) NOT NULL
);

CREATE UNIQUE INDEX "actcontrib:PrimaryKey" ON actcontrib (ncontrib, CodAct);


-- -----------------------------------------------------------------------------
-- domicilio: domicilios de cada contribuyente.
--   domfiscal   verdadero en el domicilio fiscal (a lo sumo uno por
--               contribuyente)
--   calle, nro, sector, torre, piso, Dtoofloc (departamento, oficina o
--   local), manzana, barrio, localidad, partido, codpostal
--               partes del domicilio en texto, cada una puede faltar
--   tipobarrio  código del tipo de barrio (tipobarrio de sistema.mdb)
--   codprov     código de la provincia (provincias de sistema.mdb)
-- -----------------------------------------------------------------------------
CREATE TABLE domicilio (
    ncontrib   LONG NOT NULL,
    domfiscal  BOOLEAN,
    calle      TEXT(40),
    nro        TEXT(6),
    sector     TEXT(5),
    torre      TEXT(5),
    piso       TEXT(5),
    Dtoofloc   TEXT(5),
    manzana    TEXT(5),
    barrio     TEXT(40),
    tipobarrio SHORT,
    localidad  TEXT(40),
    partido    TEXT(50),
    codprov    SHORT,
    codpostal  TEXT(8)
);

CREATE INDEX "domicilio:ncontrib" ON domicilio (ncontrib);


-- -----------------------------------------------------------------------------
-- respsustitutos: personas por cuya deuda responde el contribuyente
-- (responsable por deuda ajena).
--   apeNomTitular  apellido y nombre del titular
--   nroDocum       número de documento del titular
--   paisTitular    código del país del titular (paises de sistema.mdb)
-- -----------------------------------------------------------------------------
CREATE TABLE respsustitutos (
    ncontrib      LONG NOT NULL,
    apeNomTitular TEXT(60) NOT NULL,
    nroDocum      TEXT(11),
    paisTitular   SHORT
);

CREATE INDEX "respsustitutos:ncontrib" ON respsustitutos (ncontrib);
