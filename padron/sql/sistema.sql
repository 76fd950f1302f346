-- =============================================================================
-- sistema.mdb: tablas de referencia del padrón
--
-- kapred-padron crea esta base en su primer inicio, en la carpeta padre del
-- directorio del programa, y la usa para las listas de su formulario. Kapred
-- solo la lee para traducir a texto los códigos que guarda el padrón de
-- contribuyentes (rexa.mdb): provincias y tipos de barrio del domicilio,
-- formas jurídicas y países.
-- =============================================================================


-- -----------------------------------------------------------------------------
-- provincias: provincias argentinas, con los códigos de dos dígitos del
-- INDEC. Ninguno es 0, así un domicilio sin provincia (que en el registro de
-- domicilio de la declaración se escribe "00") no se confunde con una.
-- -----------------------------------------------------------------------------
CREATE TABLE provincias (
    codigo  SHORT NOT NULL,
    descrip TEXT(60) NOT NULL
);

CREATE UNIQUE INDEX "provincias:PrimaryKey" ON provincias (codigo);

INSERT INTO provincias (codigo, descrip) VALUES ( 2, 'Ciudad Autónoma de Buenos Aires');
INSERT INTO provincias (codigo, descrip) VALUES ( 6, 'Buenos Aires');
INSERT INTO provincias (codigo, descrip) VALUES (10, 'Catamarca');
INSERT INTO provincias (codigo, descrip) VALUES (14, 'Córdoba');
INSERT INTO provincias (codigo, descrip) VALUES (18, 'Corrientes');
INSERT INTO provincias (codigo, descrip) VALUES (22, 'Chaco');
INSERT INTO provincias (codigo, descrip) VALUES (26, 'Chubut');
INSERT INTO provincias (codigo, descrip) VALUES (30, 'Entre Ríos');
INSERT INTO provincias (codigo, descrip) VALUES (34, 'Formosa');
INSERT INTO provincias (codigo, descrip) VALUES (38, 'Jujuy');
INSERT INTO provincias (codigo, descrip) VALUES (42, 'La Pampa');
INSERT INTO provincias (codigo, descrip) VALUES (46, 'La Rioja');
INSERT INTO provincias (codigo, descrip) VALUES (50, 'Mendoza');
INSERT INTO provincias (codigo, descrip) VALUES (54, 'Misiones');
INSERT INTO provincias (codigo, descrip) VALUES (58, 'Neuquén');
INSERT INTO provincias (codigo, descrip) VALUES (62, 'Río Negro');
INSERT INTO provincias (codigo, descrip) VALUES (66, 'Salta');
INSERT INTO provincias (codigo, descrip) VALUES (70, 'San Juan');
INSERT INTO provincias (codigo, descrip) VALUES (74, 'San Luis');
INSERT INTO provincias (codigo, descrip) VALUES (78, 'Santa Cruz');
INSERT INTO provincias (codigo, descrip) VALUES (82, 'Santa Fe');
INSERT INTO provincias (codigo, descrip) VALUES (86, 'Santiago del Estero');
INSERT INTO provincias (codigo, descrip) VALUES (90, 'Tucumán');
INSERT INTO provincias (codigo, descrip) VALUES (94, 'Tierra del Fuego, Antártida e Islas del Atlántico Sur');


-- -----------------------------------------------------------------------------
-- tipobarrio: tipos de barrio del domicilio. El código ocupa un solo dígito
-- en el registro de domicilio de la declaración, por eso va de 1 a 9.
-- -----------------------------------------------------------------------------
CREATE TABLE tipobarrio (
    codigo  SHORT NOT NULL,
    descrip TEXT(40) NOT NULL
);

CREATE UNIQUE INDEX "tipobarrio:PrimaryKey" ON tipobarrio (codigo);

INSERT INTO tipobarrio (codigo, descrip) VALUES (1, 'Barrio abierto');
INSERT INTO tipobarrio (codigo, descrip) VALUES (2, 'Barrio cerrado');
INSERT INTO tipobarrio (codigo, descrip) VALUES (3, 'Country');
INSERT INTO tipobarrio (codigo, descrip) VALUES (4, 'Club de campo');
INSERT INTO tipobarrio (codigo, descrip) VALUES (5, 'Complejo habitacional');
INSERT INTO tipobarrio (codigo, descrip) VALUES (6, 'Villa');
INSERT INTO tipobarrio (codigo, descrip) VALUES (7, 'Parque industrial');
INSERT INTO tipobarrio (codigo, descrip) VALUES (8, 'Zona rural');
INSERT INTO tipobarrio (codigo, descrip) VALUES (9, 'Otro');


-- -----------------------------------------------------------------------------
-- formajuridica: formas jurídicas. El código es texto de tres dígitos
-- ('001', '002', ...). El padrón guarda el mismo código como número.
-- -----------------------------------------------------------------------------
CREATE TABLE formajuridica (
    codigo  TEXT(3) NOT NULL,
    descrip TEXT(80) NOT NULL
);

CREATE UNIQUE INDEX "formajuridica:PrimaryKey" ON formajuridica (codigo);

INSERT INTO formajuridica (codigo, descrip) VALUES ('001', 'Sociedad Anónima');
INSERT INTO formajuridica (codigo, descrip) VALUES ('002', 'Sociedad de Responsabilidad Limitada');
INSERT INTO formajuridica (codigo, descrip) VALUES ('003', 'Sociedad Colectiva');
INSERT INTO formajuridica (codigo, descrip) VALUES ('004', 'Sociedad en Comandita Simple');
INSERT INTO formajuridica (codigo, descrip) VALUES ('005', 'Sociedad en Comandita por Acciones');
INSERT INTO formajuridica (codigo, descrip) VALUES ('006', 'Sociedad de Capital e Industria');
INSERT INTO formajuridica (codigo, descrip) VALUES ('007', 'Cooperativa');
INSERT INTO formajuridica (codigo, descrip) VALUES ('008', 'Mutual');
INSERT INTO formajuridica (codigo, descrip) VALUES ('009', 'Asociación Civil');
INSERT INTO formajuridica (codigo, descrip) VALUES ('010', 'Fundación');
INSERT INTO formajuridica (codigo, descrip) VALUES ('011', 'Sociedad de Hecho');
INSERT INTO formajuridica (codigo, descrip) VALUES ('012', 'Sociedad del Estado');
INSERT INTO formajuridica (codigo, descrip) VALUES ('013', 'Unión Transitoria de Empresas');
INSERT INTO formajuridica (codigo, descrip) VALUES ('014', 'Agrupación de Colaboración Empresaria');
INSERT INTO formajuridica (codigo, descrip) VALUES ('015', 'Sucursal de Sociedad Extranjera');
INSERT INTO formajuridica (codigo, descrip) VALUES ('016', 'Consorcio de Propietarios');


-- -----------------------------------------------------------------------------
-- paises: países. Los códigos son los numéricos de la norma ISO 3166-1.
-- -----------------------------------------------------------------------------
CREATE TABLE paises (
    codigo  SHORT NOT NULL,
    descrip TEXT(60) NOT NULL
);

CREATE UNIQUE INDEX "paises:PrimaryKey" ON paises (codigo);

INSERT INTO paises (codigo, descrip) VALUES ( 32, 'Argentina');
INSERT INTO paises (codigo, descrip) VALUES ( 68, 'Bolivia');
INSERT INTO paises (codigo, descrip) VALUES ( 76, 'Brasil');
INSERT INTO paises (codigo, descrip) VALUES (152, 'Chile');
INSERT INTO paises (codigo, descrip) VALUES (170, 'Colombia');
INSERT INTO paises (codigo, descrip) VALUES (218, 'Ecuador');
INSERT INTO paises (codigo, descrip) VALUES (600, 'Paraguay');
INSERT INTO paises (codigo, descrip) VALUES (604, 'Perú');
INSERT INTO paises (codigo, descrip) VALUES (858, 'Uruguay');
INSERT INTO paises (codigo, descrip) VALUES (862, 'Venezuela');
INSERT INTO paises (codigo, descrip) VALUES (484, 'México');
INSERT INTO paises (codigo, descrip) VALUES (840, 'Estados Unidos');
INSERT INTO paises (codigo, descrip) VALUES (124, 'Canadá');
INSERT INTO paises (codigo, descrip) VALUES (724, 'España');
INSERT INTO paises (codigo, descrip) VALUES (380, 'Italia');
INSERT INTO paises (codigo, descrip) VALUES (250, 'Francia');
INSERT INTO paises (codigo, descrip) VALUES (276, 'Alemania');
INSERT INTO paises (codigo, descrip) VALUES (826, 'Reino Unido');
INSERT INTO paises (codigo, descrip) VALUES (620, 'Portugal');
INSERT INTO paises (codigo, descrip) VALUES (156, 'China');
INSERT INTO paises (codigo, descrip) VALUES (392, 'Japón');
