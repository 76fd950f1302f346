-- =============================================================================
-- rexa.mdb: padrón de contribuyentes de la aplicación anfitriona Orel
--
-- Base de demostración. En una instalación real esta base es de Orel, está en
-- el directorio padre del programa y Kapred solo la lee: razón social,
-- actividad principal, mes de cierre, forma jurídica, domicilio fiscal y
-- responsables sustitutos de cada contribuyente.
--
-- Los contribuyentes se identifican por su CUIT escrito con guiones
-- ('20-12345678-9') y se relacionan entre tablas por ncontrib, el número
-- interno que les asigna Orel.
--
-- Los códigos de provincia, tipo de barrio, país y forma jurídica remiten a
-- las tablas de sistema.mdb.
--
-- Contribuyente de demostración: CUIT 20-12345678-9, ncontrib 1.
-- Todos los datos de este archivo son ficticios.
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

INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (1, '20-12345678-9', 'Cooperativa Agrícola Ganadera La Esperanza Ltda.', 6, 0, 7);
INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (2, '30-50123456-3', 'Cooperativa de Trabajo El Ceibo Ltda.', 12, 0, 7);
INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (3, '30-61234567-4', 'Cooperativa de Provisión de Servicios Eléctricos Villa Nueva Ltda.', 3, 1, 7);
INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (4, '30-70987654-2', 'Distribuidora del Litoral S.A.', 12, 0, 1);


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

INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (1, '011111', 'Principal');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (1, '014113', 'Secundaria');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (1, '461011', 'Secundaria');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (2, '107410', 'Principal');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (3, '351320', 'Principal');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (3, '360010', 'Secundaria');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (4, '463121', 'Principal');


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

-- Contribuyente 1: domicilio fiscal en la ciudad y planta de acopio en la ruta.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (1, 1, 'Bv. Santa Fe', '1250', NULL, NULL, '1', 'A',
            NULL, 'Centro', 1, 'Rafaela', 'Castellanos', 82, 'S2300ABC');
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (1, 0, 'Ruta Nacional 34', 'Km 227', 'Pl. 2', NULL, NULL, NULL,
            NULL, NULL, NULL, 'Rafaela', 'Castellanos', 82, 'S2300ABC');

-- Contribuyente 2: piso en blanco y sin barrio.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (2, 1, 'Av. de Mayo', '1370', NULL, NULL, '   ', NULL,
            NULL, NULL, NULL, 'Buenos Aires', 'Comuna 1', 2, 'C1085ABO');

-- Contribuyente 3: domicilio en un complejo habitacional, con torre y manzana.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (3, 1, 'Los Aromos', '45', 'B', '3', '2', '12',
            'M 14', 'Villa Nueva', 5, 'Villa Nueva', 'General San Martín', 14, 'X5903AAB');

-- Contribuyente 4: solo un domicilio comercial, sin domicilio fiscal cargado.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (4, 0, 'San Martín', '2877', NULL, NULL, NULL, NULL,
            NULL, NULL, NULL, 'Santa Fe', 'La Capital', 82, 'S3000FPK');


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

INSERT INTO respsustitutos (ncontrib, apeNomTitular, nroDocum, paisTitular)
    VALUES (2, 'Ferreyra Ana María', '22456789', 32);
INSERT INTO respsustitutos (ncontrib, apeNomTitular, nroDocum, paisTitular)
    VALUES (3, 'Pereira Rodríguez Martín', '3456789', 858);
