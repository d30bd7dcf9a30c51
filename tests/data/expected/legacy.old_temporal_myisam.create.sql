CREATE TABLE `old_temporal_myisam` (
  `id` int(11) NOT NULL,
  `t` time /* mariadb-5.3 */ DEFAULT NULL,
  `dt` datetime /* mariadb-5.3 */ DEFAULT NULL,
  `ts` timestamp /* mariadb-5.3 */ NULL DEFAULT NULL,
  `d` date DEFAULT NULL,
  `t_nn` time /* mariadb-5.3 */ NOT NULL,
  `dt_nn` datetime /* mariadb-5.3 */ NOT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
